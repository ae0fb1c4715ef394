#include "base/file_names.h"

#include <algorithm>

namespace brevo {
namespace {

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string withNativeSeparators(std::string path) {
    std::replace(path.begin(), path.end(), '/', kDirSeparator);
    return path;
}

std::string directoryOf(std::string_view path) {
    std::size_t end = path.size();
    while (end > 0 && !isDirSeparator(path[end - 1])) --end;
    return std::string(path.substr(0, end));
}

std::string withTrailingSeparator(std::string directory) {
    if (!directory.empty() && !isDirSeparator(directory.back())) directory += kDirSeparator;
    return directory;
}

std::string foldCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), folded);
    return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return folded(x) == folded(y); });
}

}  // namespace brevo
