#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brx/brx_loader.h"

namespace brevo {

inline constexpr std::string_view kTwoDirectoriesMessage =
    "You must select files in two different directories.";

// Whether two directory names lead to one directory: the same text, or the same directory on
// disk however it is spelled (another case, a symbolic link, a relative or absolute path).
// A source directory that is the target directory would verify every file against itself.
bool sameDirectory(const std::string& first, const std::string& second);

// The first line of the confirmation before a batch: "3 BRX File(s) will be verified."
std::string confirmationCountText(int fileCount);

// A name the user chose that the batch cannot take, with the reason in a few words.
struct RejectedFile {
    std::string name;  // as the user gave it
    std::string reason;
};

// Translated files as the batch takes them: each an existing regular file with the extension
// of the format, all in one directory, each once.
struct FileSelection {
    std::vector<std::string> files;  // in the order given, spelled with `directory`
    std::string directory;           // ends with the directory separator
    FileFormat format = FileFormat::Text;
    std::vector<RejectedFile> rejected;
    // Some file lies in another directory than the first accepted one; it is left out.
    bool severalDirectories = false;
};

// Checks what the user named. Without a format, the first name with a .txt or .rtf extension
// decides it. A name without a directory stands for one in the current directory ("./a.txt").
FileSelection selectFiles(std::vector<std::string> names, std::optional<FileFormat> format);

}  // namespace brevo
