#include "base/file_status.h"

#include <sys/stat.h>

#include <filesystem>

namespace brevo {
namespace {

bool holdsNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

}  // namespace

// Every pair asks for these, so they go to the system directly rather than through a
// std::filesystem::path, which takes the name apart first. A status that cannot be had
// counts as a missing file, as it does for std::filesystem::exists.
FileKind fileKind(const std::string& path) {
    struct stat info;
    if (holdsNul(path) || ::stat(path.c_str(), &info) != 0) return FileKind::Missing;
    if (S_ISDIR(info.st_mode)) return FileKind::Directory;
    if (S_ISREG(info.st_mode)) return FileKind::Regular;
    return FileKind::Other;
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    struct stat info;
    if (holdsNul(path) || ::stat(path.c_str(), &info) != 0) return std::nullopt;
    if (!S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool sameFile(const std::string& first, const std::string& second) {
    if (holdsNul(first) || holdsNul(second)) return false;
    std::error_code error;
    return std::filesystem::equivalent(first, second, error) && !error;
}

}  // namespace brevo
