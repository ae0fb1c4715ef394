#include "app/model/path_rules.h"

#include <filesystem>

#include "base/path_lookup.h"

namespace brevo::app {

bool directoryExists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::string existingDirectoryOr(const std::string& path, const std::string& fallback) {
    return directoryExists(path) ? path : fallback;
}

}  // namespace brevo::app
