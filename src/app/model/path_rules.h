#pragma once

#include <string>

namespace brevo::app {

// Whether `path` names an existing directory; an empty path names none.
bool directoryExists(const std::string& path);

// `path` when it is an existing directory, otherwise `fallback`.
std::string existingDirectoryOr(const std::string& path, const std::string& fallback);

}  // namespace brevo::app
