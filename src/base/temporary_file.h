#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

namespace brevo {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OwnedFile = std::unique_ptr<std::FILE, FileCloser>;

// A new binary file for scratch data in the system's place for them, gone once closed. Null
// when none can be made.
OwnedFile openTemporaryFile();

// Moves to `offset` from the start, with offsets past 2 GiB on every platform.
bool seekTo(std::FILE* file, std::uint64_t offset);

}  // namespace brevo
