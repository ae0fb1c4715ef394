#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_failure.h"
#include "base/temporary_file.h"

namespace brevo {

// The lines of one report. Lines may hold "\n". Positions stay valid while lines are added
// before or after them, so a pass's heading can be inserted in front of its messages.
//
// Appended lines are packed into blocks, so a line costs no allocation of its own; only a line
// that a Position refers to stands alone. A badly damaged pair can produce a report several
// times the size of its files: once the lines held exceed a few megabytes, all that no
// Position refers to move to a temporary file, so a report costs disk space rather than
// memory. Visiting the lines reads them back.
class ReportLog {
    // Lines one after another, each as its length and bytes, in room given once: a block never
    // grows, so it is never copied, and filling it needs no checks beyond the one for room.
    class PackedBlock {
    public:
        PackedBlock() = default;
        explicit PackedBlock(std::size_t capacity)
            : bytes_(std::make_unique_for_overwrite<char[]>(capacity)), capacity_(capacity) {}

        bool fits(std::size_t packedSize) const { return capacity_ - size_ >= packedSize; }
        inline void append(std::string_view line);
        std::string_view view() const { return {bytes_.get(), size_}; }
        std::size_t size() const { return size_; }
        std::size_t capacity() const { return capacity_; }
        void truncate(std::size_t size) { size_ = size; }

    private:
        std::unique_ptr<char[]> bytes_;
        std::size_t capacity_ = 0;
        std::size_t size_ = 0;
    };

    enum class Kind : std::uint8_t { Line, Block, Run };
    struct Entry {
        Kind kind = Kind::Line;
        std::string bytes;          // a Line's text
        PackedBlock block{};        // a Block's lines
        std::size_t run = 0;        // a Run's place in runs_
        std::size_t lastLine = 0;   // where the last line of a Block begins
        std::size_t lineCount = 1;  // lines in a Block
        int pins = 0;               // Positions referring to this entry
    };
    using Entries = std::list<Entry>;

public:
    using Lines = std::list<std::string>;

    // A place in the log; while it exists, the line it names stays where it is.
    class Position {
    public:
        Position(const Position& other) : Position(other.entry_) {}
        Position& operator=(const Position& other);
        ~Position() { --entry_->pins; }

    private:
        friend class ReportLog;
        explicit Position(Entries::iterator entry) : entry_(entry) { ++entry_->pins; }
        Entries::iterator entry_;
    };

    ReportLog();
    ReportLog(ReportLog&&) noexcept;
    ReportLog& operator=(ReportLog&&) noexcept;
    ~ReportLog();

    void append(std::string_view line);
    Position insertAfter(const Position& position, std::string_view line);

    // The last line, held so that lines can be inserted after it later.
    std::optional<Position> last();
    std::size_t size() const { return lineCount_; }

    // Every line in order, with those in the temporary file read back. Throws FileFailure
    // when they cannot be. A template, as a report's writer visits every line of it.
    template <class Visit>
    void forEachLine(Visit&& visit) const;
    // All lines as one list, kept until the log changes.
    const Lines& lines() const;

private:
    struct Run {  // spilled lines in the temporary file, in the form a Block holds them
        std::uint64_t offset = 0;
        std::uint64_t bytes = 0;
    };

    void splitLastLine(Entries::iterator block);
    void spillIfLarge();
    bool spill();
    bool openSpillFile();
    Run& runBefore(Entries::iterator stretch);
    bool writeSpill(std::string_view bytes, Run& run);
    // Hands the run's bytes on in chunks; `visit` returns how many bytes of its chunk it used,
    // and what it left comes again at the front of the next chunk.
    void readRun(const Run& run,
                 const std::function<std::size_t(std::string_view)>& visitChunk) const;
    void readByChunks(std::uint64_t offset, std::uint64_t left,
                      const std::function<std::size_t(std::string_view)>& visitChunk) const;
    PackedBlock takeSpareBlock(std::size_t capacity);

    Entries entries_;
    std::size_t lineCount_ = 0;
    std::size_t bytesHeld_ = 0;
    std::vector<Run> runs_;
    OwnedFile spillFile_;
    std::uint64_t spillEnd_ = 0;
    bool spillBroken_ = false;  // no temporary file can be had: everything stays in memory
    // Blocks whose lines moved to the file, kept for the lines to come: memory the system
    // hands out afresh costs more than the lines written into it.
    std::vector<PackedBlock> spareBlocks_;
    mutable std::unique_ptr<char[]> readChunk_;  // the room runs are read back into
    mutable std::size_t readChunkSize_ = 0;
    mutable Lines lines_;
    mutable bool linesCurrent_ = false;
};

namespace detail {

constexpr std::size_t kMaxLengthBytes = 10;

// Lengths are stored seven bits to a byte, low bits first: most report lines need one or two.
// Writes `length` at `out`, which has room for kMaxLengthBytes, and returns where it ends.
inline char* putPackedLength(char* out, std::uint64_t length) {
    for (; length >= 0x80; length >>= 7) *out++ = static_cast<char>((length & 0x7f) | 0x80);
    *out++ = static_cast<char>(length);
    return out;
}

// Reads the length at `bytes`; false when `bytes` ends before the length does.
inline bool readPackedLength(std::string_view bytes, std::size_t& used, std::uint64_t& length) {
    length = 0;
    for (std::size_t i = 0; i < bytes.size() && i < kMaxLengthBytes; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        length |= static_cast<std::uint64_t>(byte & 0x7f) << (7 * i);
        if ((byte & 0x80) == 0) {
            used = i + 1;
            return true;
        }
    }
    return false;
}

// Visits the packed lines of `bytes` and returns how many bytes complete lines took.
template <class Visit>
std::size_t visitPackedLines(std::string_view bytes, Visit& visit) {
    std::size_t done = 0;
    for (;;) {
        std::size_t used = 0;
        std::uint64_t length = 0;
        const std::string_view rest = bytes.substr(done);
        if (!readPackedLength(rest, used, length) || rest.size() - used < length) return done;
        visit(rest.substr(used, static_cast<std::size_t>(length)));
        done += used + static_cast<std::size_t>(length);
    }
}

}  // namespace detail

// The caller has made sure that the line fits.
void ReportLog::PackedBlock::append(std::string_view line) {
    char* const out = detail::putPackedLength(bytes_.get() + size_, line.size());
    if (!line.empty()) std::memcpy(out, line.data(), line.size());
    size_ = static_cast<std::size_t>(out - bytes_.get()) + line.size();
}

template <class Visit>
void ReportLog::forEachLine(Visit&& visit) const {
    for (const Entry& entry : entries_) {
        switch (entry.kind) {
            case Kind::Line:
                visit(std::string_view(entry.bytes));
                break;
            case Kind::Block:
                detail::visitPackedLines(entry.block.view(), visit);
                break;
            case Kind::Run:
                readRun(runs_[entry.run], [&visit](std::string_view chunk) {
                    return detail::visitPackedLines(chunk, visit);
                });
                break;
        }
    }
}

}  // namespace brevo
