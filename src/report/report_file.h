#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "base/file_failure.h"
#include "base/replacing_file.h"
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

// Writes `bytes` to `path` as a ReplacingFile: a failure leaves the earlier file as it was and
// nothing partial. Throws FileFailure naming `path`.
void writeWholeFile(const std::string& path, const std::string& bytes);

// writeWholeFile for bytes that come piece by piece: reports can be far larger than is worth
// holding at once. Pieces are gathered into large blocks. The file takes its place only when
// close() succeeds; a writer destroyed before that leaves the earlier file as it was (a device
// or pipe has had the bytes written so far). Throws FileFailure naming `path`.
class BlockFileWriter {
public:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

    explicit BlockFileWriter(const std::string& path);

    // Inline, as a report's writer hands over its bytes a line's piece at a time.
    void write(std::string_view bytes) {
        if (bytes.size() <= kBlockSize - used_) {
            std::char_traits<char>::copy(buffer_.get() + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
        } else {
            writeLarge(bytes);
        }
    }
    // Room for `size` bytes at the end of the block, to be filled in place and kept up to
    // `end` by commit(); null when `size` is more than a block holds.
    char* room(std::size_t size) {
        return size <= kBlockSize - used_ ? buffer_.get() + used_ : roomAfterFlush(size);
    }
    void commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }
    void close();

private:
    void writeLarge(std::string_view bytes);
    char* roomAfterFlush(std::size_t size);
    void flush();

    ReplacingFile file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace brevo
