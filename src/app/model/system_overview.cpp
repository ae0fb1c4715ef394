#include "app/model/system_overview.h"

#include <cctype>
#include <charconv>

namespace brevo::app {
namespace {

constexpr std::uint64_t kKilobyte = 1024;
constexpr std::uint64_t kMegabyte = 1024 * 1024;

std::string line(std::string_view label, std::uint64_t number, std::string_view unit) {
    return std::string(label) + std::to_string(number) + std::string(unit);
}

}  // namespace

std::vector<std::string> overviewLines(const SystemFigures& figures) {
    std::vector<std::string> lines = {
        "System Settings Overview:",
        "",
        line("Total Physical Memory: ", figures.totalMemory / kKilobyte, " KB"),
        line("Available Physical Memory: ", figures.availableMemory / kKilobyte, " KB"),
        "",
        line("Total Paging File Memory: ", figures.totalPaging / kKilobyte, " KB"),
        line("Available Paging File Memory: ", figures.availablePaging / kKilobyte, " KB"),
        ""};
    if (const auto& disk = figures.disk) {
        lines.push_back(line("Total Disk Space: ", disk->totalBytes / kMegabyte, " MB on ") +
                        disk->place);
        lines.push_back(
            line("Available Disk Space: ", disk->availableBytes / kMegabyte, " MB on ") +
            disk->place);
    } else {
        lines.push_back("Total Disk Space: Unavailable");
        lines.push_back("Available Disk Space: Unavailable");
    }
    lines.push_back("");
    lines.push_back("Operating System: " + figures.system);
    lines.push_back("Major version: " + std::to_string(figures.majorVersion));
    lines.push_back("Minor version: " + std::to_string(figures.minorVersion));
    lines.push_back("");
    return lines;
}

std::pair<int, int> majorAndMinor(std::string_view release) {
    int numbers[2] = {0, 0};
    const char* at = release.data();
    const char* end = release.data() + release.size();
    for (int& number : numbers) {
        const auto [stop, error] = std::from_chars(at, end, number);
        if (error != std::errc() || stop == end || *stop != '.') break;
        at = stop + 1;
    }
    return {numbers[0], numbers[1]};
}

}  // namespace brevo::app
