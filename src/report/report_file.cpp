#include "report/report_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string_view>

#include "brx/failure.h"

namespace brevo {
namespace {

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

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A new file next to the report, removed again unless it has been renamed into place.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& directory) {
        static std::atomic<unsigned> counter{0};
        const std::string prefix = directory + ".brevo-" + std::to_string(::getpid()) + "-";
        do {
            path_ = prefix + std::to_string(counter++) + ".tmp";
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd_ < 0 && errno == EEXIST);
        openError_ = fd_ < 0 ? errno : 0;
    }
    ~TemporaryFile() {
        if (openError_ != 0) return;
        closeFile();
        if (!renamed_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The bytes are on the disk before the file may take the report's place. A replaced
    // report keeps its owner and permissions where the process may set them.
    int write(std::string_view bytes, const std::optional<struct stat>& replaced) {
        if (openError_ != 0) return openError_;
        if (replaced) {
            // Only a privileged process can hand the file to another owner; others keep theirs.
            [[maybe_unused]] const int owned = ::fchown(fd_, replaced->st_uid, replaced->st_gid);
            ::fchmod(fd_, replaced->st_mode & 07777);
        }
        int error = writeAll(fd_, bytes);
        if (error == 0 && ::fsync(fd_) != 0) error = errno;
        const int closeError = closeFile();
        return error != 0 ? error : closeError;
    }

    int renameTo(const std::string& destination) {
        if (::rename(path_.c_str(), destination.c_str()) != 0) return errno;
        renamed_ = true;
        return 0;
    }

  private:
    int closeFile() {
        if (fd_ < 0) return 0;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

    std::string path_;
    int fd_ = -1;
    int openError_ = 0;
    bool renamed_ = false;
};

// Devices and pipes cannot be replaced, and there is no earlier report in them to keep. A pipe
// that nobody reads fails at once instead of blocking the batch.
void writeInPlace(const std::string& path, std::string_view bytes) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) failFile(errno, path);
    const int error = writeAll(fd, bytes);
    const int closed = ::close(fd);
    if (error != 0) failFile(error, path);
    if (closed != 0) failFile(errno, path);
}

// The complete file takes the place of `destination` in one step, so that a failure leaves
// the earlier report untouched and no partial file behind. Failures name `reportPath`.
void replaceFile(const std::string& destination, const std::optional<struct stat>& replaced,
                 std::string_view bytes, const std::string& reportPath) {
    // A report the user may not write stays, as it would when written over in place.
    if (replaced && ::access(destination.c_str(), W_OK) != 0) failFile(errno, reportPath);
    TemporaryFile temporary(directoryOf(destination));
    if (int error = temporary.write(bytes, replaced)) failFile(error, reportPath);
    if (int error = temporary.renameTo(destination)) failFile(error, reportPath);
}

bool isSymbolicLink(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

void writeWholeFile(const std::string& path, const std::string& bytes) {
    if (path.find('\0') != std::string::npos) failFile(EINVAL, path);
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        // A dangling link: writing through it creates the file it names.
        if (isSymbolicLink(path)) {
            writeInPlace(path, bytes);
        } else {
            replaceFile(path, std::nullopt, bytes, path);
        }
        return;
    }
    if (S_ISDIR(info.st_mode)) failFile(EISDIR, path);
    if (!S_ISREG(info.st_mode)) {
        writeInPlace(path, bytes);
        return;
    }
    // A link stays a link: the file it points to is replaced.
    std::error_code error;
    const std::filesystem::path destination = std::filesystem::canonical(path, error);
    if (error) failFile(error.value(), path);
    replaceFile(destination.string(), info, bytes, path);
}

void writeTextReport(const std::string& path, const ReportLog::Lines& lines) {
    std::string bytes;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    bytes.reserve(size + size / 16);
    for (const std::string& line : lines) {
        for (char c : line) {
            if (c == '\n') {
                bytes += "\r\n";
            } else {
                bytes += c;
            }
        }
        bytes += "\r\n";
    }
    writeWholeFile(path, bytes);
}

}  // namespace brevo
