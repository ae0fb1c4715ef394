#include "brx/path_lookup.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <string_view>

namespace brevo {
namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace

bool fileExists(const std::string& path) {
    struct stat info;
    return path.find('\0') == std::string::npos && ::stat(path.c_str(), &info) == 0;
}

std::string resolvePathIgnoringCase(const std::string& path) {
    if (fileExists(path)) return path;
    std::size_t slash = path.rfind(kDirSeparator);
    std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty() || path.find('\0') != std::string::npos) return path;

    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return path;
    std::string best;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view candidate = entry->d_name;
        if (equalIgnoringCase(candidate, name) && (best.empty() || candidate < best)) {
            best = candidate;
        }
    }
    ::closedir(dir);
    if (best.empty()) return path;
    return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + best;
}

std::string withTrailingSeparator(std::string directory) {
    if (!directory.empty() && directory.back() != kDirSeparator) directory += kDirSeparator;
    return directory;
}

}  // namespace brevo
