#include "app/model/path_rules.h"

#include "batch/batch_plan.h"

namespace brevo::app {

bool directoryExists(const std::string& path) {
    return isExistingDirectory(path);
}

std::string existingDirectoryOr(const std::string& path, const std::string& fallback) {
    return directoryExists(path) ? path : fallback;
}

}  // namespace brevo::app
