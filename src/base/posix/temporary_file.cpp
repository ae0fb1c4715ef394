#include "base/temporary_file.h"

#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

#include <utility>

namespace brevo {

OwnedFile openTemporaryFile() {
    return OwnedFile(std::tmpfile());
}

bool seekTo(std::FILE* file, std::uint64_t offset) {
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::optional<ScratchView> ScratchView::map(std::FILE* file, std::uint64_t offset,
                                            std::size_t size) {
    static const long pageSize = ::sysconf(_SC_PAGESIZE);
    const int descriptor = ::fileno(file);
    if (pageSize <= 0 || descriptor < 0 || size == 0) return std::nullopt;
    const std::uint64_t start =
        offset / static_cast<std::uint64_t>(pageSize) * static_cast<std::uint64_t>(pageSize);
    const auto lead = static_cast<std::size_t>(offset - start);
    void* const mapped =
        ::mmap(nullptr, lead + size, PROT_READ, MAP_SHARED, descriptor, static_cast<off_t>(start));
    if (mapped == MAP_FAILED) return std::nullopt;
    return ScratchView(mapped, lead, size);
}

ScratchView::ScratchView(ScratchView&& other) noexcept
    : start_(std::exchange(other.start_, nullptr)), lead_(other.lead_), size_(other.size_) {}

ScratchView::~ScratchView() {
    if (start_ != nullptr) ::munmap(start_, lead_ + size_);
}

}  // namespace brevo
