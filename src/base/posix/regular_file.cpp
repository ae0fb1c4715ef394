#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/file_failure.h"

namespace brevo {
namespace {

int descriptor(std::intptr_t file) {
    return static_cast<int>(file);
}

}  // namespace

RegularFile::~RegularFile() {
    close();
}

void RegularFile::open(const std::string& path) {
    close();
    path_ = path;
    // A path holding a NUL byte can name no file.
    if (path.find('\0') != std::string::npos) failFile(EINVAL, path);
    // Without O_NONBLOCK a pipe with no writer would block the open for ever.
    file_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file_ < 0) failFile(errno, path);
    refuseAllButRegularFiles();
}

void RegularFile::refuseAllButRegularFiles() {
    struct stat info;
    if (::fstat(descriptor(file_), &info) != 0) failFile(errno, path_);
    if (S_ISDIR(info.st_mode)) failFile(EISDIR, path_);
    if (!S_ISREG(info.st_mode)) failFile(EACCES, path_);
    sizeWhenOpened_ = static_cast<std::uint64_t>(info.st_size);
}

void RegularFile::close() {
    if (file_ >= 0) ::close(descriptor(file_));
    file_ = -1;
    sizeWhenOpened_.reset();
}

std::size_t RegularFile::read(char* buffer, std::size_t size) {
    if (file_ < 0) return 0;
    for (;;) {
        const ssize_t got = ::read(descriptor(file_), buffer, size);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) failFile(errno, path_);
    }
}

}  // namespace brevo
