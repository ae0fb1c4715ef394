#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevo::app {

// The figures of the machine that the About page shows, as the system gave them.
struct SystemFigures {
    std::uint64_t totalMemory = 0;  // bytes
    std::uint64_t availableMemory = 0;
    std::uint64_t totalPaging = 0;  // the swap space, where memory is paged out to
    std::uint64_t availablePaging = 0;
    struct Disk {
        std::uint64_t totalBytes = 0;
        std::uint64_t availableBytes = 0;
        std::string place;  // where the file system is mounted
    };
    std::optional<Disk> disk;  // none when the query failed
    std::string system;        // "Linux", "Windows NT", ...
    int majorVersion = 0;
    int minorVersion = 0;
};

// The 15 lines of the overview, blank lines included.
std::vector<std::string> overviewLines(const SystemFigures& figures);

// Major and minor version from a release such as "6.1.0-18-amd64" or "10.0.19045".
std::pair<int, int> majorAndMinor(std::string_view release);

}  // namespace brevo::app
