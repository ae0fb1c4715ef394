#include "base/temporary_file.h"

#include <windows.h>

#include <string>

namespace brevo {

// The C library's own temporary files go to the root of the drive, where users may not write.
OwnedFile openTemporaryFile() {
    wchar_t directory[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, directory);
    if (length == 0 || length > MAX_PATH) return nullptr;
    wchar_t name[MAX_PATH];
    if (::GetTempFileNameW(directory, L"brv", 0, name) == 0) return nullptr;
    // "D": removed when closed; "T": kept in memory as far as the system can.
    OwnedFile file(::_wfopen(name, L"w+bTD"));
    if (!file) ::DeleteFileW(name);
    return file;
}

bool seekTo(std::FILE* file, std::uint64_t offset) {
    return ::_fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
}

// Scratch bytes are read back through the C library here.
std::optional<ScratchView> ScratchView::map(std::FILE*, std::uint64_t, std::size_t) {
    return std::nullopt;
}

ScratchView::ScratchView(ScratchView&& other) noexcept
    : start_(other.start_), lead_(other.lead_), size_(other.size_) {
    other.start_ = nullptr;
}

ScratchView::~ScratchView() = default;

}  // namespace brevo
