#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_failure.h"
#include "report/report_log.h"

namespace brevo {

// Writes the report as text, piece by piece as its lines are read: every line followed by
// CR LF, every "\n" inside a line as CR LF. Replaces an existing file. Throws FileFailure when
// the file cannot be created or written.
void writeTextReport(const std::string& path, const ReportLog& log);

namespace detail {
// The same for lines held all at once.
void writeTextReport(const std::string& path, const ReportLog::Lines& lines);
}  // namespace detail

// Writes `bytes` to `path`, replacing an existing file. The bytes go to a temporary file in the
// same directory that is renamed over the old one only when complete: a failure leaves the
// earlier file as it was and nothing partial. A symbolic link stays and its target is replaced;
// a device or pipe is written in place. Throws FileFailure naming `path`.
void writeWholeFile(const std::string& path, const std::string& bytes);

// writeWholeFile for bytes that come piece by piece: reports can be far larger than is worth
// holding at once. Pieces are gathered into large blocks. The file takes its place only when
// close() succeeds; a writer destroyed before that leaves the earlier file as it was (a device
// or pipe has had the bytes written so far). Throws FileFailure naming `path`.
class BlockFileWriter {
public:
    explicit BlockFileWriter(const std::string& path);
    ~BlockFileWriter();
    BlockFileWriter(const BlockFileWriter&) = delete;
    BlockFileWriter& operator=(const BlockFileWriter&) = delete;

    void write(std::string_view bytes);
    void close();

private:
    void openInPlace();
    void openBeside(const std::string& destination, const std::optional<struct stat>& replaced);
    void flush();
    [[noreturn]] void fail(int error);
    void discard();

    std::string path_;         // as asked for; every failure names it
    std::string destination_;  // what the temporary file is renamed to
    std::string temporary_;    // empty when writing in place
    int fd_ = -1;
    std::string buffer_;
    std::uint64_t written_ = 0;   // bytes in the file so far
    std::uint64_t handedOn_ = 0;  // bytes already sent on towards the disk
};

}  // namespace brevo
