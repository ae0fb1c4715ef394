#include "base/path_lookup.h"

#include <windows.h>

#include <optional>
#include <string_view>

#include "base/windows/wide_names.h"

namespace brevo {
namespace {

// The entry's name as the directory spells it, which the file system finds whatever the case
// of `path`. One lookup of one name: no directory is read.
std::optional<std::string> spelledOnDisk(const std::string& path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileExW(windows::widePath(path).c_str(), FindExInfoBasic,
                                             &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    ::FindClose(search);
    return windows::utf8FromWide(found.cFileName);
}

}  // namespace

bool fileExists(const std::string& path) {
    return path.find('\0') == std::string::npos &&
           ::GetFileAttributesW(windows::widePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// As on case-sensitive systems, the name that is returned is the one the directory has, so that
// reports and results lines name the file as the user sees it.
std::string resolvePathIgnoringCase(const std::string& path) {
    const std::string directory = directoryOf(path);
    const std::string_view name = std::string_view(path).substr(directory.size());
    // "*" and "?" would be taken as a pattern; no Windows name holds them.
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of("*?") != std::string_view::npos ||
        path.find('\0') != std::string::npos) {
        return path;
    }
    const std::optional<std::string> spelled = spelledOnDisk(path);
    if (!spelled) return path;
    return directory + *spelled;
}

}  // namespace brevo
