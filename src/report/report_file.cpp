#include "report/report_file.h"

#include "base/file_failure.h"

namespace brevo {
namespace {

// A line with each "\n" inside it and its own end as CR LF.
template <class Put>
void putTextLine(std::string_view line, Put&& put) {
    for (std::size_t lineFeed; (lineFeed = line.find('\n')) != std::string_view::npos;) {
        put(line.substr(0, lineFeed));
        put("\r\n");
        line.remove_prefix(lineFeed + 1);
    }
    put(line);
    put("\r\n");
}

}  // namespace

BlockFileWriter::BlockFileWriter(const std::string& path)
    : file_(path), buffer_(std::make_unique_for_overwrite<char[]>(kBlockSize)) {}

void BlockFileWriter::writeLarge(std::string_view bytes) {
    flush();
    if (bytes.size() >= kBlockSize) {
        file_.write(bytes);
    } else {
        std::char_traits<char>::copy(buffer_.get(), bytes.data(), bytes.size());
        used_ = bytes.size();
    }
}

void BlockFileWriter::flush() {
    file_.write(std::string_view(buffer_.get(), used_));
    used_ = 0;
}

void BlockFileWriter::close() {
    flush();
    file_.commit();
}

void writeWholeFile(const std::string& path, const std::string& bytes) {
    BlockFileWriter file(path);
    file.write(bytes);
    file.close();
}

void detail::writeTextReport(const std::string& path, const ReportLog::Lines& lines) {
    std::string bytes;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    bytes.reserve(size + size / 16);
    for (const std::string& line : lines) {
        putTextLine(line, [&bytes](std::string_view piece) { bytes += piece; });
    }
    writeWholeFile(path, bytes);
}

void writeTextReport(const std::string& path, const ReportLog& log) {
    BlockFileWriter file(path);
    log.forEachLine([&file](std::string_view line) {
        putTextLine(line, [&file](std::string_view piece) { file.write(piece); });
    });
    file.close();
}

}  // namespace brevo
