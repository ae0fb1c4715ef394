#include "brx/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "brx/failure.h"

namespace brevo {

LineReader::~LineReader() {
    close();
}

void LineReader::open(const std::string& path) {
    close();
    path_ = path;
    // A path holding a NUL byte can name no file.
    if (path.find('\0') != std::string::npos) failFile(EINVAL, path);
    // Without O_NONBLOCK a pipe with no writer would block the open for ever.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) failFile(errno, path);
    refuseAllButRegularFiles();
    count_ = position_ = 0;
    pendingBreak_ = ended_ = false;
    fillBuffer();
}

// Pipes, sockets and devices such as /dev/zero may never end; only files are read.
void LineReader::refuseAllButRegularFiles() {
    struct stat info;
    if (::fstat(fd_, &info) != 0) failFile(errno, path_);
    if (S_ISDIR(info.st_mode)) failFile(EISDIR, path_);
    if (!S_ISREG(info.st_mode)) failFile(EACCES, path_);
}

void LineReader::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool LineReader::fillBuffer() {
    count_ = position_ = 0;
    if (ended_ || fd_ < 0) return false;
    for (;;) {
        ssize_t got = ::read(fd_, buffer_, kBlockSize);
        if (got > 0) {
            count_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got == 0) break;
        if (errno != EINTR) failFile(errno, path_);
    }
    ended_ = true;
    return false;
}

bool LineReader::readLine(std::string& out) {
    out.clear();
    for (;;) {
        if (position_ == count_ && !fillBuffer()) {
            pendingBreak_ = false;
            return !out.empty();
        }
        const char* p = buffer_ + position_;
        const char* end = buffer_ + count_;
        while (p < end) {
            if (*p == '\r' || *p == '\n') {
                pendingBreak_ = true;
                ++p;
                continue;
            }
            if (pendingBreak_) {
                pendingBreak_ = false;
                position_ = static_cast<std::size_t>(p - buffer_);
                return true;
            }
            const char* stop = p;
            while (stop < end && *stop != '\r' && *stop != '\n') ++stop;
            out.append(p, stop);
            p = stop;
        }
        position_ = count_;
    }
}

}  // namespace brevo
