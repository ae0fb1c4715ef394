#include "base/file_mapping.h"

namespace brevo {

// Files are read into memory here: a mapped file that another program shortens could not be
// caught as on POSIX systems.
std::shared_ptr<FileMapping> FileMapping::map(const RegularFile&, std::size_t) {
    return nullptr;
}

FileMapping::~FileMapping() = default;

bool FileMapping::shrunk() const {
    return false;
}

void FileMapping::dropPagesBefore(std::size_t) {}

}  // namespace brevo
