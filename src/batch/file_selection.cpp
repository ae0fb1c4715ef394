#include "batch/file_selection.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "base/file_status.h"
#include "base/path_lookup.h"

namespace brevo {
namespace {

// "a.txt" stands for "./a.txt": every file has a directory ending with the separator.
std::string withDirectory(const std::string& name) {
    if (std::any_of(name.begin(), name.end(), isDirSeparator)) return name;
    return std::string{'.', kDirSeparator} + name;
}

std::optional<FileFormat> formatOfName(const std::string& path) {
    const std::string name = foldCase(std::string_view(path).substr(directoryOf(path).size()));
    if (name.ends_with(".txt")) return FileFormat::Text;
    if (name.ends_with(".rtf")) return FileFormat::Rtf;
    return std::nullopt;
}

std::string notOfFormat(std::optional<FileFormat> format) {
    if (!format) return "not a .txt or .rtf file";
    return *format == FileFormat::Rtf ? "not a .rtf file" : "not a .txt file";
}

// Why the batch cannot take `path`, or nothing when it can. A name that cannot be a BRX file
// is refused for its extension even before it is looked for.
std::optional<std::string> rejectionOf(const std::string& resolved, const std::string& path,
                                       std::optional<FileFormat> format) {
    const FileKind kind = fileKind(resolved);
    if (kind == FileKind::Directory) return "not a regular file";
    const std::optional<FileFormat> own = formatOfName(path);
    if (!own || (format && *own != *format)) return notOfFormat(format);
    if (kind == FileKind::Missing) return "no such file";
    if (kind != FileKind::Regular) return "not a regular file";
    return std::nullopt;
}

}  // namespace

bool sameDirectory(const std::string& first, const std::string& second) {
    return first == second || sameFile(first, second);
}

std::string confirmationCountText(int fileCount) {
    return std::to_string(fileCount) + " BRX File(s) will be verified.";
}

FileSelection selectFiles(const std::vector<std::string>& names, std::optional<FileFormat> format) {
    FileSelection selection;
    // Entry names in the selection's directory, as found on disk: one file named twice (or in
    // two spellings) is verified once.
    std::unordered_set<std::string> chosen;
    for (const std::string& name : names) {
        const std::string path = withDirectory(withNativeSeparators(name));
        const std::string resolved = resolvePathIgnoringCase(path);
        if (auto reason = rejectionOf(resolved, path, format)) {
            selection.rejected.push_back({name, std::move(*reason)});
            continue;
        }
        if (!format) format = formatOfName(path);
        const std::string directory = directoryOf(path);
        if (selection.files.empty()) {
            selection.directory = directory;
        } else if (!sameDirectory(directory, selection.directory)) {
            selection.severalDirectories = true;
            selection.rejected.push_back({name, "not in the directory of the first file"});
            continue;
        }
        if (!chosen.insert(resolved.substr(directory.size())).second) continue;
        selection.files.push_back(selection.directory + path.substr(directory.size()));
    }
    selection.format = format.value_or(FileFormat::Text);
    return selection;
}

}  // namespace brevo
