#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

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

// Bytes of a scratch file seen where the system keeps them: reading them back costs no copy.
class ScratchView {
public:
    // [offset, offset + size) of `file`, whose writes must have been flushed; nothing where the
    // system cannot show them so, and the caller reads them instead.
    static std::optional<ScratchView> map(std::FILE* file, std::uint64_t offset, std::size_t size);

    ScratchView(ScratchView&& other) noexcept;
    ScratchView& operator=(ScratchView&&) = delete;
    ~ScratchView();

    std::string_view bytes() const { return {static_cast<const char*>(start_) + lead_, size_}; }

private:
    ScratchView(void* start, std::size_t lead, std::size_t size)
        : start_(start), lead_(lead), size_(size) {}

    void* start_;
    std::size_t lead_;  // from the page the view must start at to the first byte asked for
    std::size_t size_;
};

}  // namespace brevo
