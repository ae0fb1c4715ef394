#include "report/report_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

#include "base/file_failure.h"
#include "base/file_names.h"
#include "brx/failure.h"

namespace brevo {
namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
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

bool isSymbolicLink(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// A line with each "\n" inside it and its own end as CR LF.
template <class Put>
void putTextLine(std::string_view line, Put&& put) {
    for (std::size_t lineFeed; (lineFeed = line.find('\n')) != std::string_view::npos;) {
        put(line.substr(0, lineFeed));
        put("\r\n");
        line.remove_prefix(lineFeed + 1);
    }
    put(line);
    put("\r\n");
}

}  // namespace

BlockFileWriter::BlockFileWriter(const std::string& path) : path_(path) {
    if (path.find('\0') != std::string::npos) failFile(EINVAL, path);
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        // A dangling link: writing through it creates the file it names.
        if (isSymbolicLink(path)) {
            openInPlace();
        } else {
            openBeside(path, std::nullopt);
        }
    } else if (S_ISDIR(info.st_mode)) {
        failFile(EISDIR, path);
    } else if (!S_ISREG(info.st_mode)) {
        openInPlace();
    } else {
        // A link stays a link: the file it points to is replaced.
        std::error_code error;
        const std::filesystem::path destination = std::filesystem::canonical(path, error);
        if (error) failFile(error.value(), path);
        openBeside(destination.string(), info);
    }
    buffer_.reserve(kBlockSize);
}

BlockFileWriter::~BlockFileWriter() {
    discard();
}

// Devices and pipes cannot be replaced, and there is no earlier report in them to keep. A pipe
// that nobody reads fails at once instead of blocking the batch.
void BlockFileWriter::openInPlace() {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd_ < 0) failFile(errno, path_);
}

// A new file next to the one it is to replace. A replaced report keeps its owner and
// permissions where the process may set them.
void BlockFileWriter::openBeside(const std::string& destination,
                                 const std::optional<struct stat>& replaced) {
    // A report the user may not write stays, as it would when written over in place.
    if (replaced && ::access(destination.c_str(), W_OK) != 0) failFile(errno, path_);
    static std::atomic<unsigned> counter{0};
    const std::string prefix =
        directoryOf(destination) + ".brevo-" + std::to_string(::getpid()) + "-";
    do {
        temporary_ = prefix + std::to_string(counter++) + ".tmp";
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd_ < 0 && errno == EEXIST);
    if (fd_ < 0) {
        temporary_.clear();
        failFile(errno, path_);
    }
    destination_ = destination;
    if (replaced) {
        // Only a privileged process can hand the file to another owner; others keep theirs.
        [[maybe_unused]] const int owned = ::fchown(fd_, replaced->st_uid, replaced->st_gid);
        ::fchmod(fd_, replaced->st_mode & 07777);
    }
}

void BlockFileWriter::write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBlockSize) flush();
    if (bytes.size() >= kBlockSize) {
        if (int error = writeAll(fd_, bytes)) fail(error);
    } else {
        buffer_ += bytes;
    }
}

void BlockFileWriter::flush() {
    if (int error = writeAll(fd_, buffer_)) fail(error);
    written_ += buffer_.size();
    buffer_.clear();
    // A large report is sent on to the disk while the rest is being written, so that the wait
    // for all of it before the rename stays short. Only a hint: it changes no bytes.
    if (!temporary_.empty() && written_ - handedOn_ >= kHandOnEvery) {
        ::posix_fadvise(fd_, static_cast<off_t>(handedOn_),
                        static_cast<off_t>(written_ - handedOn_), POSIX_FADV_DONTNEED);
        handedOn_ = written_;
    }
}

// The bytes are on the disk before the file may take the report's place.
void BlockFileWriter::close() {
    flush();
    if (!temporary_.empty() && ::fsync(fd_) != 0) fail(errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) fail(errno);
    if (temporary_.empty()) return;
    if (::rename(temporary_.c_str(), destination_.c_str()) != 0) fail(errno);
    temporary_.clear();
}

void BlockFileWriter::fail(int error) {
    discard();
    failFile(error, path_);
}

// Closes the file and removes the temporary one, so that nothing partial is left in place.
void BlockFileWriter::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

void writeWholeFile(const std::string& path, const std::string& bytes) {
    BlockFileWriter file(path);
    file.write(bytes);
    file.close();
}

void detail::writeTextReport(const std::string& path, const ReportLog::Lines& lines) {
    std::string bytes;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    bytes.reserve(size + size / 16);
    for (const std::string& line : lines) {
        putTextLine(line, [&bytes](std::string_view piece) { bytes += piece; });
    }
    writeWholeFile(path, bytes);
}

void writeTextReport(const std::string& path, const ReportLog& log) {
    BlockFileWriter file(path);
    log.forEachLine([&file](std::string_view line) {
        putTextLine(line, [&file](std::string_view piece) { file.write(piece); });
    });
    file.close();
}

}  // namespace brevo
