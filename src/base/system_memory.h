#pragma once

#include <cstdint>

namespace brevo {

// The machine's memory as it is now, in bytes; 0 where the system does not tell.
struct SystemMemory {
    std::uint64_t total = 0;
    std::uint64_t available = 0;
    std::uint64_t totalPaging = 0;  // the swap space, where memory is paged out to
    std::uint64_t availablePaging = 0;
};

SystemMemory readSystemMemory();

}  // namespace brevo
