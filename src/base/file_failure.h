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

FileErrorCause causeFromErrno(int error);

[[noreturn]] void failFile(int error, const std::string& fileName);

}  // namespace brevo
