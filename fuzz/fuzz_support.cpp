#include "fuzz_support.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace brevo::fuzz {

MemoryFile::MemoryFile() : fd_(::memfd_create("brevo-fuzz", MFD_CLOEXEC)) {
    if (fd_ < 0) fault("memfd_create failed");
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() {
    ::close(fd_);
}

const std::string& MemoryFile::hold(std::string_view bytes) {
    if (::ftruncate(fd_, 0) != 0) fault("ftruncate failed");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote =
            ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (wrote <= 0) fault("pwrite failed");
        done += static_cast<std::size_t>(wrote);
    }
    return path_;
}

namespace {

struct ScratchDirectory {
    std::string path;
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "brevo-fuzz-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) fault("mkdtemp failed");
        path = pattern + "/";
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

const std::string& scratchDirectory() {
    static const ScratchDirectory directory;
    return directory.path;
}

std::string_view asBytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

std::vector<std::string> expectedLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool pendingBreak = false;
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            pendingBreak = true;
            continue;
        }
        if (pendingBreak) {
            lines.push_back(line);
            line.clear();
            pendingBreak = false;
        }
        line += c;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void fault(const char* what) {
    std::fprintf(stderr, "fuzz fault: %s\n", what);
    std::abort();
}

}  // namespace brevo::fuzz
