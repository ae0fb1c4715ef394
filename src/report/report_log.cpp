#include "report/report_log.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "base/file_failure.h"

namespace brevo {
namespace {

// Lines held in memory before the unreferenced ones move to the temporary file: little beside
// the documents, which a large report is held together with.
constexpr std::size_t kSpillAbove = std::size_t{2} << 20;
constexpr std::size_t kBlockSize = std::size_t{64} << 10;
using detail::kMaxLengthBytes;
constexpr std::size_t kReadChunk = std::size_t{1} << 20;
constexpr std::size_t kMapWindow = std::size_t{4} << 20;
const std::string kSpillName = "temporary report lines";

}  // namespace

ReportLog::Position& ReportLog::Position::operator=(const Position& other) {
    ++other.entry_->pins;
    --entry_->pins;
    entry_ = other.entry_;
    return *this;
}

ReportLog::ReportLog() = default;
ReportLog::ReportLog(ReportLog&&) noexcept = default;
ReportLog& ReportLog::operator=(ReportLog&&) noexcept = default;
ReportLog::~ReportLog() = default;

void ReportLog::append(std::string_view line) {
    linesCurrent_ = false;
    ++lineCount_;
    bytesHeld_ += line.size();
    // Blocks never grow past what they were given, so they are never copied, and small
    // enough that the heap, not the system, hands them out.
    const std::size_t packedSize = line.size() + kMaxLengthBytes;
    if (entries_.empty() || entries_.back().kind != Kind::Block ||
        !entries_.back().block.fits(packedSize)) {
        Entry& fresh = entries_.emplace_back();
        fresh.kind = Kind::Block;
        fresh.block = takeSpareBlock(packedSize);
        fresh.lineCount = 0;
    }
    Entry& block = entries_.back();
    block.lastLine = block.block.size();
    ++block.lineCount;
    block.block.append(line);
    spillIfLarge();
}

ReportLog::Position ReportLog::insertAfter(const Position& position, std::string_view line) {
    linesCurrent_ = false;
    ++lineCount_;
    bytesHeld_ += line.size();
    Position inserted(
        entries_.insert(std::next(position.entry_), Entry{Kind::Line, std::string(line)}));
    spillIfLarge();
    return inserted;
}

ReportLog::PackedBlock ReportLog::takeSpareBlock(std::size_t capacity) {
    if (capacity > kBlockSize || spareBlocks_.empty()) {
        return PackedBlock(std::max(kBlockSize, capacity));
    }
    PackedBlock block = std::move(spareBlocks_.back());
    spareBlocks_.pop_back();
    return block;
}

std::optional<ReportLog::Position> ReportLog::last() {
    if (entries_.empty()) return std::nullopt;
    const auto tail = std::prev(entries_.end());
    if (tail->kind == Kind::Block) splitLastLine(tail);
    return Position(std::prev(entries_.end()));
}

// Gives the last line of a block an entry of its own, so that a Position can name it.
void ReportLog::splitLastLine(Entries::iterator block) {
    std::size_t used = 0;
    std::uint64_t length = 0;
    const std::string_view packed = block->block.view().substr(block->lastLine);
    detail::readPackedLength(packed, used, length);
    entries_.insert(std::next(block), Entry{Kind::Line, std::string(packed.substr(used, length))});
    block->block.truncate(block->lastLine);
    if (--block->lineCount == 0) entries_.erase(block);
    // The block is no longer last, so nothing is appended to it and its last line is not
    // needed again.
}

const ReportLog::Lines& ReportLog::lines() const {
    if (!linesCurrent_) {
        lines_.clear();
        forEachLine([this](std::string_view line) { lines_.emplace_back(line); });
        linesCurrent_ = true;
    }
    return lines_;
}

void ReportLog::spillIfLarge() {
    if (bytesHeld_ <= kSpillAbove || spillBroken_) return;
    if (!spill()) spillBroken_ = true;
}

// Moves every stretch of lines that no Position refers to into the file. A stretch goes on
// from the run in front of it when that run ends the file and is not referred to, so a long
// pass becomes one run.
bool ReportLog::spill() {
    if (!spillFile_ && !openSpillFile()) return false;
    if (std::fseek(spillFile_.get(), 0, SEEK_END) != 0) return false;
    std::size_t held = 0;
    std::string packed;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->kind == Kind::Run || it->pins > 0) {
            held += it->kind == Kind::Block ? it->block.size() : it->bytes.size();
            ++it;
            continue;
        }
        Run& run = runBefore(it);
        while (it != entries_.end() && it->kind != Kind::Run && it->pins == 0) {
            if (it->kind == Kind::Line) {
                char length[kMaxLengthBytes];
                packed.assign(length, detail::putPackedLength(length, it->bytes.size()));
                packed += it->bytes;
                if (!writeSpill(packed, run)) return false;
            } else if (!writeSpill(it->block.view(), run)) {
                return false;
            } else if (it->block.capacity() == kBlockSize) {
                it->block.truncate(0);
                spareBlocks_.push_back(std::move(it->block));
            }
            it = entries_.erase(it);
        }
    }
    bytesHeld_ = held;
    return true;
}

bool ReportLog::openSpillFile() {
    spillFile_ = openTemporaryFile();
    return spillFile_ != nullptr;
}

// The run that the stretch starting at `stretch` is to join, made when needed.
ReportLog::Run& ReportLog::runBefore(Entries::iterator stretch) {
    if (stretch != entries_.begin()) {
        const auto previous = std::prev(stretch);
        if (previous->kind == Kind::Run && previous->pins == 0) {
            Run& run = runs_[previous->run];
            if (run.offset + run.bytes == spillEnd_) return run;
        }
    }
    runs_.push_back(Run{spillEnd_, 0});
    entries_.insert(stretch, Entry{Kind::Run, {}, {}, runs_.size() - 1, 0, 0, 0});
    return runs_.back();
}

// The run grows only once the bytes are safely written, so a failure loses nothing.
bool ReportLog::writeSpill(std::string_view bytes, Run& run) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), spillFile_.get()) != bytes.size()) {
        return false;
    }
    run.bytes += bytes.size();
    spillEnd_ += bytes.size();
    return true;
}

// Seen in place a window at a time, so that only a window's pages count as the process's
// memory; a window grows for a line longer than it. Read into memory where it cannot be seen.
void ReportLog::readRun(const Run& run,
                        const std::function<std::size_t(std::string_view)>& visitChunk) const {
    std::FILE* file = spillFile_.get();
    if (std::fflush(file) != 0) failFile(errno, kSpillName);
    std::uint64_t offset = run.offset;
    std::uint64_t left = run.bytes;
    std::size_t window = kMapWindow;
    while (left > 0) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, window));
        const std::optional<ScratchView> view = ScratchView::map(file, offset, wanted);
        if (!view) break;
        const std::size_t used = visitChunk(view->bytes());
        if (used == 0 && wanted == left) return;  // no whole line left: nothing more to visit
        if (used == 0) window *= 2;
        offset += used;
        left -= used;
    }
    if (left > 0) readByChunks(offset, left, visitChunk);
}

void ReportLog::readByChunks(std::uint64_t offset, std::uint64_t left,
                             const std::function<std::size_t(std::string_view)>& visitChunk) const {
    std::FILE* file = spillFile_.get();
    if (!seekTo(file, offset)) failFile(errno, kSpillName);
    // Lines are cut at chunk ends: what a chunk leaves of a line is carried to the next.
    std::size_t carried = 0;
    while (left > 0) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, std::max(kReadChunk, carried)));
        if (carried + wanted > readChunkSize_) {
            // Room for a whole chunk beside a carried piece, so that it is made once.
            const std::size_t size = std::max(2 * kReadChunk, 2 * carried);
            auto larger = std::make_unique_for_overwrite<char[]>(size);
            if (carried != 0) std::char_traits<char>::copy(larger.get(), readChunk_.get(), carried);
            readChunk_ = std::move(larger);
            readChunkSize_ = size;
        }
        char* const chunk = readChunk_.get();
        if (std::fread(chunk + carried, 1, wanted, file) != wanted) {
            failFile(errno, kSpillName);
        }
        left -= wanted;
        const std::size_t filled = carried + wanted;
        const std::size_t used = visitChunk(std::string_view(chunk, filled));
        carried = filled - used;
        if (carried != 0 && used != 0) std::char_traits<char>::move(chunk, chunk + used, carried);
    }
}

}  // namespace brevo
