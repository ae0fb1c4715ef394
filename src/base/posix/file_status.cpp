#include "base/file_status.h"

#include <filesystem>

namespace brevo {
namespace {

bool holdsNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

}  // namespace

FileKind fileKind(const std::string& path) {
    if (holdsNul(path)) return FileKind::Missing;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(status)) return FileKind::Directory;
    if (!std::filesystem::exists(status)) return FileKind::Missing;
    if (std::filesystem::is_regular_file(status)) return FileKind::Regular;
    return FileKind::Other;
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    if (holdsNul(path)) return std::nullopt;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    return size;
}

bool sameFile(const std::string& first, const std::string& second) {
    if (holdsNul(first) || holdsNul(second)) return false;
    std::error_code error;
    return std::filesystem::equivalent(first, second, error) && !error;
}

}  // namespace brevo
