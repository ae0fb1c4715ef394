#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brevo {

// What a name stands for, links followed.
enum class FileKind { Missing, Directory, Regular, Other };

FileKind fileKind(const std::string& path);

// The size of the file, or nothing when it cannot be had.
std::optional<std::uint64_t> fileSize(const std::string& path);

// Whether the two names lead to the same file or directory.
bool sameFile(const std::string& first, const std::string& second);

// The same, or, for two names of which neither exists yet, whether they would be one file:
// the same name in the same directory, however the directory is spelled.
bool sameFileOrPlace(const std::string& first, const std::string& second);

}  // namespace brevo
