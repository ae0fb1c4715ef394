#include "base/regular_file.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "base/file_failure.h"
#include "base/windows/wide_names.h"

namespace brevo {
namespace {

HANDLE handleOf(std::intptr_t file) {
    return reinterpret_cast<HANDLE>(file);
}

}  // namespace

RegularFile::~RegularFile() {
    close();
}

void RegularFile::open(const std::string& path) {
    close();
    path_ = path;
    if (path.find('\0') != std::string::npos) failFile(EINVAL, path);
    const std::wstring name = windows::widePath(path);
    // A directory cannot be opened as a file; it is refused as elsewhere, not as a bad handle.
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        failFile(EISDIR, path);
    }
    // Others may go on reading, writing or even renaming the file while it is read, as they
    // may elsewhere.
    const HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) failFileWithWindowsError(::GetLastError(), path);
    file_ = reinterpret_cast<std::intptr_t>(handle);
    refuseAllButRegularFiles();
}

// Consoles, pipes and devices such as NUL are no files to verify.
void RegularFile::refuseAllButRegularFiles() {
    if (::GetFileType(handleOf(file_)) != FILE_TYPE_DISK) failFile(EACCES, path_);
    LARGE_INTEGER size;
    if (::GetFileSizeEx(handleOf(file_), &size)) {
        sizeWhenOpened_ = static_cast<std::uint64_t>(size.QuadPart);
    }
}

void RegularFile::close() {
    if (file_ != -1) ::CloseHandle(handleOf(file_));
    file_ = -1;
    sizeWhenOpened_.reset();
}

std::size_t RegularFile::read(char* buffer, std::size_t size) {
    if (file_ == -1) return 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(handleOf(file_), buffer, wanted, &got, nullptr)) {
        failFileWithWindowsError(::GetLastError(), path_);
    }
    return got;
}

}  // namespace brevo
