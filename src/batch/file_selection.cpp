#include "batch/file_selection.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <numeric>
#include <utility>

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
std::optional<std::string> rejectionOf(FileKind kind, const std::string& path,
                                       std::optional<FileFormat> format) {
    if (kind == FileKind::Directory) return "not a regular file";
    const std::optional<FileFormat> own = formatOfName(path);
    if (!own || (format && *own != *format)) return notOfFormat(format);
    if (kind == FileKind::Missing) return "no such file";
    if (kind != FileKind::Regular) return "not a regular file";
    return std::nullopt;
}

// One file named twice (or in two spellings) is verified once, where it was first named. Files
// are told apart by their entry names as found on disk; a set of those names would cost a long
// batch more than its files, so only files whose names hash alike are looked up again.
void dropRepeatedFiles(std::vector<std::string>& files, const std::vector<std::size_t>& entryHashes,
                       std::size_t directorySize) {
    std::vector<std::uint32_t> order(files.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return entryHashes[a] < entryHashes[b];
    });
    auto entryOf = [&](std::uint32_t file) {
        return resolvePathIgnoringCase(files[file]).substr(directorySize);
    };
    std::vector<bool> repeated(files.size(), false);
    for (std::size_t first = 0; first < order.size();) {
        std::size_t end = first + 1;
        while (end < order.size() && entryHashes[order[end]] == entryHashes[order[first]]) ++end;
        for (std::size_t later = first + 1; later < end; ++later) {
            for (std::size_t earlier = first; earlier < later; ++earlier) {
                if (!repeated[order[earlier]] && entryOf(order[earlier]) == entryOf(order[later])) {
                    repeated[order[later]] = true;
                    break;
                }
            }
        }
        first = end;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (repeated[i]) continue;
        if (kept != i) files[kept] = std::move(files[i]);
        ++kept;
    }
    files.resize(kept);
}

}  // namespace

bool sameDirectory(const std::string& first, const std::string& second) {
    return first == second || sameFile(first, second);
}

std::string confirmationCountText(int fileCount) {
    return std::to_string(fileCount) + " BRX File(s) will be verified.";
}

FileSelection selectFiles(std::vector<std::string> names, std::optional<FileFormat> format) {
    FileSelection selection;
    selection.files.reserve(names.size());
    std::vector<std::size_t> entryHashes;  // of each file's entry name as found on disk
    entryHashes.reserve(names.size());
    for (std::string& given : names) {
        // A long batch holds its names once: each given name goes as its file comes.
        const std::string name = std::exchange(given, std::string());
        std::string path = withDirectory(withNativeSeparators(name));
        // A name that is there as given needs no search through its directory.
        FileKind kind = fileKind(path);
        std::string resolved;  // only for a name not there as given
        if (kind == FileKind::Missing) {
            resolved = resolvePathIgnoringCase(path);
            kind = fileKind(resolved);
        }
        if (auto reason = rejectionOf(kind, path, format)) {
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
        const std::string_view found = resolved.empty() ? path : resolved;
        entryHashes.push_back(std::hash<std::string_view>{}(found.substr(directory.size())));
        if (directory == selection.directory) {
            selection.files.push_back(std::move(path));
        } else {
            selection.files.push_back(selection.directory + path.substr(directory.size()));
        }
    }
    dropRepeatedFiles(selection.files, entryHashes, selection.directory.size());
    selection.format = format.value_or(FileFormat::Text);
    return selection;
}

}  // namespace brevo
