#pragma once

#include <cstddef>
#include <string>

#include "base/file_failure.h"
#include "base/regular_file.h"

namespace brevo {

// Reads a file as lines in 4096-byte blocks. Any run of CR and LF bytes is one line break, so
// blank lines never appear inside a file; a file that starts with a break gives one empty first
// line. Bytes are bytes: NUL and 0x80-0xFF pass through untouched.
class LineReader {
public:
    static constexpr std::size_t kBlockSize = 4096;

    // Throws FileFailure when the file cannot be opened or is no regular file.
    void open(const std::string& path);
    void close() { file_.close(); }

    // Next line into `out` (cleared first); false at the end of the file. Throws FileFailure on
    // a read error.
    bool readLine(std::string& out);

private:
    bool fillBuffer();

    RegularFile file_;
    char buffer_[kBlockSize];
    std::size_t count_ = 0;
    std::size_t position_ = 0;
    bool pendingBreak_ = false;
    bool ended_ = false;
};

}  // namespace brevo
