#pragma once

#include <string>

#include "base/file_names.h"

namespace brevo {

// Returns `path` when it names an existing entry. Otherwise, on a case-sensitive file system,
// the entry of the same name compared without regard to case in the same directory (the first
// in byte order), so that "a.txt" is found for "a.TXT" as on Windows, whose file systems do
// this themselves. Returns `path` unchanged when there is none.
std::string resolvePathIgnoringCase(const std::string& path);

bool fileExists(const std::string& path);

}  // namespace brevo
