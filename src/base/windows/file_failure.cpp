#include "base/file_failure.h"

#include <windows.h>

namespace brevo {

FileErrorCause causeFromWindowsError(unsigned long error) {
    switch (error) {
        case ERROR_SUCCESS:
            return FileErrorCause::None;
        case ERROR_FILE_NOT_FOUND:
            return FileErrorCause::NotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
        case ERROR_FILENAME_EXCED_RANGE:
            return FileErrorCause::BadPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return FileErrorCause::TooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return FileErrorCause::AccessDenied;
        case ERROR_INVALID_HANDLE:
            return FileErrorCause::InvalidHandle;
        case ERROR_CURRENT_DIRECTORY:
            return FileErrorCause::RemoveCurrentDir;
        case ERROR_NO_MORE_FILES:
            return FileErrorCause::DirectoryFull;
        case ERROR_SEEK:
        case ERROR_NEGATIVE_SEEK:
            return FileErrorCause::BadSeek;
        case ERROR_CRC:
        case ERROR_GEN_FAILURE:
        case ERROR_NOT_READY:
            return FileErrorCause::HardwareFailure;
        // Another program has the file open: the old report stays where it is.
        case ERROR_SHARING_VIOLATION:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
            return FileErrorCause::SharingViolation;
        case ERROR_LOCK_VIOLATION:
            return FileErrorCause::LockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileErrorCause::DiskFull;
        case ERROR_HANDLE_EOF:
            return FileErrorCause::EndOfFile;
        default:
            return FileErrorCause::Unspecified;
    }
}

void failFileWithWindowsError(unsigned long error, const std::string& fileName) {
    throw FileFailure{causeFromWindowsError(error), fileName};
}

}  // namespace brevo
