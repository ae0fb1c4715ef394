#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevo::fuzz {

// The fuzzer's bytes as a file the readers can open by path, without touching the disk.
class MemoryFile {
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the contents; the returned path opens them from the start.
    const std::string& hold(std::string_view bytes);

private:
    int fd_;
    std::string path_;
};

// A fresh directory of this process, removed at exit.
const std::string& scratchDirectory();

std::string_view asBytes(const std::uint8_t* data, std::size_t size);

// What the line reader should deliver: every run of CR and LF is one break, a leading break
// gives an empty first line, trailing breaks give nothing.
std::vector<std::string> expectedLines(std::string_view bytes);

// Ends the process so that the fuzzer keeps the input.
[[noreturn]] void fault(const char* what);

}  // namespace brevo::fuzz
