#include "base/system_memory.h"

#if defined(__APPLE__)
#include <mach/mach.h>
#include <sys/sysctl.h>
#else
#include <fstream>
#include <sstream>
#include <string>
#endif

namespace brevo {

#if defined(__APPLE__)
SystemMemory readSystemMemory() {
    SystemMemory memory;
    std::uint64_t total = 0;
    std::size_t size = sizeof total;
    if (::sysctlbyname("hw.memsize", &total, &size, nullptr, 0) == 0) memory.total = total;
    vm_statistics64_data_t pages{};
    mach_msg_type_number_t count = HOST_VM_INFO64_COUNT;
    if (::host_statistics64(::mach_host_self(), HOST_VM_INFO64,
                            reinterpret_cast<host_info64_t>(&pages), &count) == KERN_SUCCESS) {
        memory.available = (std::uint64_t{pages.free_count} + pages.inactive_count) * vm_page_size;
    }
    xsw_usage swap{};
    size = sizeof swap;
    if (::sysctlbyname("vm.swapusage", &swap, &size, nullptr, 0) == 0) {
        memory.totalPaging = swap.xsu_total;
        memory.availablePaging = swap.xsu_avail;
    }
    return memory;
}
#else
// The kernel's own account of memory and swap, in kilobytes.
SystemMemory readSystemMemory() {
    SystemMemory memory;
    std::ifstream file("/proc/meminfo");
    std::uint64_t free = 0;
    bool available = false;
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t kilobytes = 0;
        if (!(fields >> name >> kilobytes)) continue;
        const std::uint64_t bytes = kilobytes * 1024;
        if (name == "MemTotal:") memory.total = bytes;
        if (name == "MemFree:") free = bytes;
        if (name == "MemAvailable:") {
            memory.available = bytes;
            available = true;
        }
        if (name == "SwapTotal:") memory.totalPaging = bytes;
        if (name == "SwapFree:") memory.availablePaging = bytes;
    }
    if (!available) memory.available = free;
    return memory;
}
#endif

}  // namespace brevo
