#include "app/model/path_rules.h"

#include <filesystem>

#include "brx/path_lookup.h"

namespace brevo::app {

bool directoryExists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::string existingDirectoryOr(const std::string& path, const std::string& fallback) {
    return directoryExists(path) ? path : fallback;
}

std::string directoryOfFile(const std::string& path) {
    return path.substr(0, path.rfind(kDirSeparator) + 1);
}

}  // namespace brevo::app
