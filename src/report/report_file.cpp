#include "report/report_file.h"

#include <cstring>

#include "base/file_failure.h"

namespace brevo {
namespace {

// A line with each "\n" inside it and its own end as CR LF.
template <class Put>
void putTextLine(std::string_view line, Put&& put) {
    const char* piece = line.data();
    const char* const end = piece + line.size();
    for (;;) {
        const auto* found = static_cast<const char*>(
            std::memchr(piece, '\n', static_cast<std::size_t>(end - piece)));
        const char* const pieceEnd = found != nullptr ? found : end;
        put(std::string_view(piece, static_cast<std::size_t>(pieceEnd - piece)));
        put(std::string_view("\r\n", 2));
        if (pieceEnd == end) return;
        piece = pieceEnd + 1;
    }
}

// The same written straight into `out`, which has room for twice the line and two bytes
// more; returns where it ends.
char* putTextLineAt(std::string_view line, char* out) {
    putTextLine(line, [&out](std::string_view piece) {
        std::memcpy(out, piece.data(), piece.size());
        out += piece.size();
    });
    return out;
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

char* BlockFileWriter::roomAfterFlush(std::size_t size) {
    flush();
    return size <= kBlockSize ? buffer_.get() : nullptr;
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
        if (char* room = file.room(2 * line.size() + 2)) {
            file.commit(putTextLineAt(line, room));
        } else {
            putTextLine(line, [&file](std::string_view piece) { file.write(piece); });
        }
    });
    file.close();
}

}  // namespace brevo
