#include "base/system_memory.h"

#include <windows.h>

namespace brevo {

SystemMemory readSystemMemory() {
    SystemMemory memory;
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return memory;
    memory.total = status.ullTotalPhys;
    memory.available = status.ullAvailPhys;
    memory.totalPaging = status.ullTotalPageFile;
    memory.availablePaging = status.ullAvailPageFile;
    return memory;
}

}  // namespace brevo
