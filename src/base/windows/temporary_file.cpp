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

}  // namespace brevo
