#include "base/file_failure.h"

#include <cerrno>

namespace brevo {

FileErrorCause causeFromErrno(int error) {
    switch (error) {
        case 0:
            return FileErrorCause::None;
        case ENOENT:
            return FileErrorCause::NotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
            return FileErrorCause::AccessDenied;
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
            return FileErrorCause::BadPath;
        case EMFILE:
        case ENFILE:
            return FileErrorCause::TooManyOpenFiles;
        // A quota or a size limit is a full disk as far as this file is concerned.
        case ENOSPC:
#if defined(EDQUOT)
        case EDQUOT:
#endif
        case EFBIG:
            return FileErrorCause::DiskFull;
        default:
            return FileErrorCause::Unspecified;
    }
}

void failFile(int error, const std::string& fileName) {
    throw FileFailure{causeFromErrno(error), fileName};
}

}  // namespace brevo
