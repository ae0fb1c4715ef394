#include "base/file_status.h"

#include "base/file_names.h"

namespace brevo {
namespace {

std::string directoryOrCurrent(const std::string& path) {
    const std::string directory = directoryOf(path);
    return directory.empty() ? std::string(".") : directory;
}

bool sameName(std::string_view first, std::string_view second) {
    // Windows file systems ignore case; the others keep it.
    return kDirSeparator == '/' ? first == second : equalIgnoringCase(first, second);
}

}  // namespace

bool sameFileOrPlace(const std::string& first, const std::string& second) {
    if (sameFile(first, second)) return true;
    if (fileKind(first) != FileKind::Missing || fileKind(second) != FileKind::Missing) {
        return false;
    }
    const std::string firstDirectory = directoryOrCurrent(first);
    const std::string secondDirectory = directoryOrCurrent(second);
    return sameName(std::string_view(first).substr(directoryOf(first).size()),
                    std::string_view(second).substr(directoryOf(second).size())) &&
           sameFile(firstDirectory, secondDirectory);
}

}  // namespace brevo
