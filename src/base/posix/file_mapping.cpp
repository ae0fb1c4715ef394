#include "base/file_mapping.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>

namespace brevo {
namespace {

// The mapped files of the process, where the bus error handler can look them up without a
// lock: a file that shrinks under its mapping raises SIGBUS at the first access to a lost page.
struct Guard {
    std::atomic<bool> used{false};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> shrunk{false};
};

constexpr std::size_t kGuards = 256;
std::array<Guard, kGuards> guards;
std::uintptr_t pageSize = 0;

// The rest of a guarded mapping from the lost page on becomes zero pages, and the access is
// tried again. A bus error anywhere else gets the default action when it is tried again.
void onBusError(int, siginfo_t* info, void*) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Guard& guard : guards) {
        const std::uintptr_t begin = guard.begin.load(std::memory_order_acquire);
        const std::uintptr_t end = guard.end.load(std::memory_order_acquire);
        if (address < begin || address >= end) continue;
        const std::uintptr_t page = address & ~(pageSize - 1);
        ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ | PROT_WRITE,
               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        guard.shrunk.store(true, std::memory_order_release);
        return;
    }
    ::signal(SIGBUS, SIG_DFL);
}

bool guardInstalled() {
    static const bool installed = [] {
        const long size = ::sysconf(_SC_PAGESIZE);
        if (size <= 0) return false;
        pageSize = static_cast<std::uintptr_t>(size);
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGBUS, &action, nullptr) == 0;
    }();
    return installed;
}

int takeGuard(std::uintptr_t begin, std::uintptr_t end) {
    for (std::size_t i = 0; i < guards.size(); ++i) {
        bool expected = false;
        if (!guards[i].used.compare_exchange_strong(expected, true)) continue;
        guards[i].shrunk.store(false);
        guards[i].end.store(end, std::memory_order_release);
        guards[i].begin.store(begin, std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

std::shared_ptr<FileMapping> FileMapping::map(const RegularFile& file, std::size_t spare) {
    struct stat info;
    const auto descriptor = static_cast<int>(file.nativeHandle());
    if (!guardInstalled() || ::fstat(descriptor, &info) != 0 || info.st_size <= 0) return nullptr;
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > SIZE_MAX - spare - pageSize) return nullptr;
    const auto fileBytes = static_cast<std::size_t>(size);
    const std::size_t length = (fileBytes + spare + pageSize - 1) & ~(pageSize - 1);
    // Zero pages for the whole length, then the file over its part: spare bytes past a file
    // that ends on a page boundary lie on a page of their own.
    void* const area =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return nullptr;
    if (::mmap(area, fileBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, descriptor, 0) ==
        MAP_FAILED) {
        ::munmap(area, length);
        return nullptr;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(area);
    const int guard = takeGuard(begin, begin + ((fileBytes + pageSize - 1) & ~(pageSize - 1)));
    if (guard < 0) {
        ::munmap(area, length);
        return nullptr;
    }
    std::shared_ptr<FileMapping> mapping(new FileMapping());
    mapping->data_ = static_cast<char*>(area);
    mapping->size_ = fileBytes;
    mapping->capacity_ = fileBytes + spare;
    mapping->length_ = length;
    mapping->guard_ = guard;
    return mapping;
}

FileMapping::~FileMapping() {
    if (guard_ >= 0) {
        Guard& guard = guards[static_cast<std::size_t>(guard_)];
        guard.begin.store(0, std::memory_order_release);
        guard.end.store(0, std::memory_order_release);
        guard.used.store(false, std::memory_order_release);
    }
    if (data_ != nullptr) ::munmap(data_, length_);
}

void FileMapping::dropPagesBefore(std::size_t bytes) {
    const std::size_t whole = std::min(bytes, size_) & ~(pageSize - 1);
    if (whole != 0) ::madvise(data_, whole, MADV_DONTNEED);
}

bool FileMapping::shrunk() const {
    return guard_ >= 0 && guards[static_cast<std::size_t>(guard_)].shrunk.load();
}

}  // namespace brevo
