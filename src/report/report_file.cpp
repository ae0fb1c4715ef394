#include "report/report_file.h"

#include <cerrno>
#include <cstdio>

#include "brx/failure.h"

namespace brevo {

void writeWholeFile(const std::string& path, const std::string& bytes) {
    if (path.find('\0') != std::string::npos) failFile(EINVAL, path);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) failFile(errno, path);
    errno = 0;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int writeError = errno;
    bool closed = std::fclose(file) == 0;
    if (!written || !closed) failFile(writeError != 0 ? writeError : errno, path);
}

void writeTextReport(const std::string& path, const ReportLog::Lines& lines) {
    std::string bytes;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    bytes.reserve(size + size / 16);
    for (const std::string& line : lines) {
        for (char c : line) {
            if (c == '\n') {
                bytes += "\r\n";
            } else {
                bytes += c;
            }
        }
        bytes += "\r\n";
    }
    writeWholeFile(path, bytes);
}

}  // namespace brevo
