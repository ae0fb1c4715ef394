#pragma once

#include <cstddef>
#include <memory>

#include "base/regular_file.h"

namespace brevo {

// A regular file's bytes seen in place, in a private and writable view: reading them costs no
// copy, and what is written stays in this view. Should the file shrink while it is mapped, the
// pages it lost read as zeros rather than stopping the program, and shrunk() tells.
class FileMapping {
public:
    // The bytes of the open `file` followed by at least `spare` zero bytes, or nothing where
    // the platform or the file does not allow a mapping.
    static std::shared_ptr<FileMapping> map(const RegularFile& file, std::size_t spare);

    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    char* data() const { return data_; }
    std::size_t size() const { return size_; }          // the file's bytes
    std::size_t capacity() const { return capacity_; }  // with the spare bytes
    // Whether the file lost bytes while mapped, which then read as zeros.
    bool shrunk() const;
    // Lets the pages of the first `bytes` bytes go, for a view that is read once from start to
    // end and never written: they would come from the file again if read once more.
    void dropPagesBefore(std::size_t bytes);

private:
    FileMapping() = default;

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t length_ = 0;  // of the whole mapping, in pages
    int guard_ = -1;
};

}  // namespace brevo
