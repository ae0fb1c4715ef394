#include "base/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "base/file_failure.h"
#include "base/file_names.h"

namespace brevo {
namespace {

constexpr std::uint64_t kHandOnEvery = std::uint64_t{8} << 20;

// Writes all of `bytes`; 0 or the errno of the failure.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return wrote < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

std::string directoryToWriteIn(const std::string& path) {
    const std::string directory = directoryOf(path);
    return directory.empty() ? "./" : directory;
}

bool isSymbolicLink(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

struct ReplacingFile::State {
    std::string path;         // as asked for; every failure names it
    std::string destination;  // the name the new file takes at commit()
    std::string temporary;    // the named temporary file, while there is one
    int fd = -1;
    bool inPlace = false;
    bool unnamed = false;        // an O_TMPFILE without a name until commit()
    bool linkedInPlace = false;  // the unnamed file took a free destination name
    std::uint64_t written = 0;   // bytes in the file so far
    std::uint64_t handedOn = 0;  // bytes already sent on towards the disk

    void openInPlace();
    void openBeside(const std::string& where, const std::optional<struct stat>& replaced);
    bool openUnnamed(const std::string& directory);
    void openNamed(const std::string& directory);
    void giveName();
    std::string temporaryName(const std::string& directory);
    void handOn();
    [[noreturn]] void fail(int error);
    void discard();
};

ReplacingFile::ReplacingFile(const std::string& path) : state_(std::make_unique<State>()) {
    State& state = *state_;
    state.path = path;
    if (path.find('\0') != std::string::npos) failFile(EINVAL, path);
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        // A dangling link: writing through it creates the file it names.
        if (isSymbolicLink(path)) {
            state.openInPlace();
        } else {
            state.openBeside(path, std::nullopt);
        }
    } else if (S_ISDIR(info.st_mode)) {
        failFile(EISDIR, path);
    } else if (!S_ISREG(info.st_mode)) {
        state.openInPlace();
    } else {
        // A link stays a link: the file it points to is replaced.
        std::error_code error;
        const std::filesystem::path destination = std::filesystem::canonical(path, error);
        if (error) failFile(error.value(), path);
        state.openBeside(destination.string(), info);
    }
}

ReplacingFile::~ReplacingFile() {
    state_->discard();
}

// Devices and pipes cannot be replaced, and there is no earlier report in them to keep. A pipe
// that nobody reads fails at once instead of blocking the batch.
void ReplacingFile::State::openInPlace() {
    inPlace = true;
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) failFile(errno, path);
}

void ReplacingFile::State::openBeside(const std::string& where,
                                      const std::optional<struct stat>& replaced) {
    // A file the user may not write stays, as it would when written over in place.
    if (replaced && ::access(where.c_str(), W_OK) != 0) failFile(errno, path);
    destination = where;
    const std::string directory = directoryToWriteIn(where);
    if (!openUnnamed(directory)) openNamed(directory);
    if (replaced) {
        // Only a privileged process can hand the file to another owner; others keep theirs.
        [[maybe_unused]] const int owned = ::fchown(fd, replaced->st_uid, replaced->st_gid);
        ::fchmod(fd, replaced->st_mode & 07777);
    }
}

// A file without a name vanishes with the process, however it ends. Not every file system
// makes one; the named temporary file then serves.
bool ReplacingFile::State::openUnnamed(const std::string& directory) {
#if defined(O_TMPFILE)
    // The name is given through /proc at commit(); without it the file could not get one.
    if (::access("/proc/self/fd", X_OK) != 0) return false;
    fd = ::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    unnamed = fd >= 0;
#endif
    return unnamed;
}

void ReplacingFile::State::openNamed(const std::string& directory) {
    do {
        temporary = temporaryName(directory);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EEXIST);
    if (fd < 0) {
        temporary.clear();
        failFile(errno, path);
    }
}

std::string ReplacingFile::State::temporaryName(const std::string& directory) {
    static std::atomic<unsigned> counter{0};
    return directory + ".brevo-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
           ".tmp";
}

// The complete file takes the destination's name at once when it is free. An existing file is
// replaced by renaming over it, so the file has a temporary name only between two calls.
void ReplacingFile::State::giveName() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    auto linkTo = [&](const std::string& name) {
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0
                   ? 0
                   : errno;
    };
    int error = linkTo(destination);
    if (error == 0) {
        linkedInPlace = true;
        return;
    }
    if (error != EEXIST) fail(error);
    do {
        temporary = temporaryName(directoryToWriteIn(destination));
        error = linkTo(temporary);
    } while (error == EEXIST);
    if (error != 0) {
        temporary.clear();
        fail(error);
    }
}

void ReplacingFile::write(std::string_view bytes) {
    State& state = *state_;
    if (int error = writeAll(state.fd, bytes)) state.fail(error);
    state.written += bytes.size();
    state.handOn();
}

// A large file is sent on to the disk while the rest is being written, so that the wait for
// all of it before the rename stays short. Only a hint: it changes no bytes.
void ReplacingFile::State::handOn() {
    if (inPlace || written - handedOn < kHandOnEvery) return;
    ::posix_fadvise(fd, static_cast<off_t>(handedOn), static_cast<off_t>(written - handedOn),
                    POSIX_FADV_DONTNEED);
    handedOn = written;
}

void ReplacingFile::commit() {
    State& state = *state_;
    if (!state.inPlace && ::fsync(state.fd) != 0) state.fail(errno);
    if (state.unnamed) state.giveName();
    const int closed = ::close(state.fd);
    state.fd = -1;
    if (closed != 0) {
        const int error = errno;
        // The name was free before: freeing it again leaves all as it was.
        if (state.linkedInPlace) ::unlink(state.destination.c_str());
        state.fail(error);
    }
    if (state.temporary.empty()) return;
    if (::rename(state.temporary.c_str(), state.destination.c_str()) != 0) state.fail(errno);
    state.temporary.clear();
}

void ReplacingFile::State::fail(int error) {
    discard();
    failFile(error, path);
}

// Closes the file and removes the temporary one, so that nothing partial is left in place.
void ReplacingFile::State::discard() {
    if (fd >= 0) ::close(fd);
    fd = -1;
    if (!temporary.empty()) ::unlink(temporary.c_str());
    temporary.clear();
}

}  // namespace brevo
