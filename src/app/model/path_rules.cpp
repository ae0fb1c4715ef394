#include "app/model/path_rules.h"

#include "base/file_status.h"

namespace brevo::app {

bool directoryExists(const std::string& path) {
    return !path.empty() && fileKind(path) == FileKind::Directory;
}

std::string existingDirectoryOr(const std::string& path, const std::string& fallback) {
    return directoryExists(path) ? path : fallback;
}

}  // namespace brevo::app
