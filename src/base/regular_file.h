#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/file_failure.h"

namespace brevo {

// A regular file opened for reading. Pipes, sockets and devices such as /dev/zero may never
// end, so they are refused like a file without access.
class RegularFile {
public:
    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Throws FileFailure when the file cannot be opened or is no regular file.
    void open(const std::string& path);
    void close();
    // Up to `size` bytes into `buffer`; 0 at the end of the file. Throws FileFailure on a read
    // error.
    std::size_t read(char* buffer, std::size_t size);

    // The descriptor, or the HANDLE on Windows; -1 when closed.
    std::intptr_t nativeHandle() const { return file_; }
    // Its size when it was opened, learned while checking what it is; nothing when the
    // system would not tell.
    std::optional<std::uint64_t> sizeWhenOpened() const { return sizeWhenOpened_; }

private:
    void refuseAllButRegularFiles();

    // A descriptor, or a HANDLE on Windows; -1 when closed.
    std::intptr_t file_ = -1;
    std::string path_;
    std::optional<std::uint64_t> sizeWhenOpened_;
};

}  // namespace brevo
