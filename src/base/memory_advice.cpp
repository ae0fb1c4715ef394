#include "base/memory_advice.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace brevo {

void adviseBigPages(const void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kBigPage = std::uintptr_t{2} << 20;
    // Smaller buffers come from the ordinary heap, where advice would reach their neighbours.
    if (bytes < 4 * kBigPage) return;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kBigPage - 1) & ~(kBigPage - 1);
    const std::uintptr_t last = (start + bytes) & ~(kBigPage - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

void keepFreedMemory() {
#if defined(__GLIBC__)
    // Beyond this much free memory at the top of the heap, the rest still goes back.
    constexpr int kKeptBytes = 64 << 20;
    ::mallopt(M_TRIM_THRESHOLD, kKeptBytes);
#endif
}

}  // namespace brevo
