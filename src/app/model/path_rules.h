#pragma once

#include <string>

namespace brevo::app {

// Whether `path` names an existing directory; an empty path names none.
bool directoryExists(const std::string& path);

// `path` when it is an existing directory, otherwise `fallback`.
std::string existingDirectoryOr(const std::string& path, const std::string& fallback);

// The directory of a chosen file, with its final separator.
std::string directoryOfFile(const std::string& path);

}  // namespace brevo::app
