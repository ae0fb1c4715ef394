#include "report/report_file.h"

#include <cerrno>

#include "brx/failure.h"

namespace brevo {
namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;

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

std::FILE* openForWriting(const std::string& path) {
    if (path.find('\0') != std::string::npos) failFile(EINVAL, path);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) failFile(errno, path);
    return file;
}

}  // namespace

void writeWholeFile(const std::string& path, const std::string& bytes) {
    BlockFileWriter file(path);
    file.write(bytes);
    file.close();
}

void writeTextReport(const std::string& path, const ReportLog::Lines& lines) {
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

BlockFileWriter::BlockFileWriter(const std::string& path)
    : path_(path), file_(openForWriting(path)) {
    buffer_.reserve(kBlockSize);
}

void BlockFileWriter::write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBlockSize) flush();
    if (bytes.size() >= kBlockSize) {
        buffer_ = bytes;
        flush();
    } else {
        buffer_ += bytes;
    }
}

void BlockFileWriter::flush() {
    if (buffer_.empty()) return;
    errno = 0;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size()) {
        // Some failures only show when the file is closed.
        const int writeError = errno;
        std::fclose(file_.release());
        failFile(writeError != 0 ? writeError : errno, path_);
    }
    buffer_.clear();
}

void BlockFileWriter::close() {
    flush();
    errno = 0;
    const bool closed = std::fclose(file_.release()) == 0;
    if (!closed) failFile(errno, path_);
}

}  // namespace brevo
