#pragma once

#include <string>

namespace brevo {

// Why a file could not be opened, read or written.
enum class FileErrorCause {
    None,
    NotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidHandle,
    RemoveCurrentDir,
    DirectoryFull,
    BadSeek,
    HardwareFailure,
    SharingViolation,
    LockViolation,
    DiskFull,
    EndOfFile,
    Unspecified,
};

// A platform file failure, thrown from wherever a file is touched and reported with its name.
struct FileFailure {
    FileErrorCause cause;
    std::string fileName;
};

// The cause of an errno value.
FileErrorCause causeFromErrno(int error);

[[noreturn]] void failFile(int error, const std::string& fileName);

#if defined(_WIN32)
// The cause of a Windows error code (GetLastError()).
FileErrorCause causeFromWindowsError(unsigned long error);

[[noreturn]] void failFileWithWindowsError(unsigned long error, const std::string& fileName);
#endif

}  // namespace brevo
