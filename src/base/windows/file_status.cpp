#include "base/file_status.h"

#include <windows.h>

#include "base/windows/wide_names.h"

namespace brevo {
namespace {

// An open handle that reads no data: enough to ask what a name stands for, directories too.
class QueryHandle {
public:
    explicit QueryHandle(const std::string& path)
        : handle_(::CreateFileW(windows::widePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
    ~QueryHandle() {
        if (valid()) ::CloseHandle(handle_);
    }
    QueryHandle(const QueryHandle&) = delete;
    QueryHandle& operator=(const QueryHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool holdsNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

}  // namespace

FileKind fileKind(const std::string& path) {
    if (holdsNul(path)) return FileKind::Missing;
    const DWORD attributes = ::GetFileAttributesW(windows::widePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::Missing;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileKind::Directory;
    const QueryHandle file(path);
    if (!file.valid()) return FileKind::Missing;
    return ::GetFileType(file.get()) == FILE_TYPE_DISK ? FileKind::Regular : FileKind::Other;
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    if (holdsNul(path)) return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(windows::widePath(path).c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool sameFile(const std::string& first, const std::string& second) {
    if (holdsNul(first) || holdsNul(second)) return false;
    const QueryHandle a(first);
    const QueryHandle b(second);
    BY_HANDLE_FILE_INFORMATION infoA;
    BY_HANDLE_FILE_INFORMATION infoB;
    if (!a.valid() || !b.valid() || !::GetFileInformationByHandle(a.get(), &infoA) ||
        !::GetFileInformationByHandle(b.get(), &infoB)) {
        return false;
    }
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

}  // namespace brevo
