#include "cli/name_list.h"

#include <cerrno>
#include <cstdio>

#include "base/file_failure.h"
#include "base/regular_file.h"

namespace brevo::cli {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string readStandardInput() {
    std::string text;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) text.append(buffer, got);
    if (std::ferror(stdin)) failFile(errno, "-");
    return text;
}

}  // namespace

std::vector<std::string> namesOfList(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!line.empty()) names.emplace_back(line);
    }
    return names;
}

std::string readList(const std::string& path) {
    if (path == "-") return readStandardInput();
    RegularFile file;
    file.open(path);
    std::string text;
    char buffer[65536];
    while (std::size_t got = file.read(buffer, sizeof buffer)) text.append(buffer, got);
    return text;
}

}  // namespace brevo::cli
