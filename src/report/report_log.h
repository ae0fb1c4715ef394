#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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
    enum class Kind : std::uint8_t { Line, Block, Run };
    struct Entry {
        Kind kind = Kind::Line;
        std::string bytes;          // a Line's text; a Block's lines, each as its length and bytes
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
    // when they cannot be.
    void forEachLine(const std::function<void(std::string_view)>& visit) const;
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
    void readRun(const Run& run, const std::function<void(std::string_view)>& visit) const;

    Entries entries_;
    std::size_t lineCount_ = 0;
    std::size_t bytesHeld_ = 0;
    std::vector<Run> runs_;
    OwnedFile spillFile_;
    std::uint64_t spillEnd_ = 0;
    bool spillBroken_ = false;  // no temporary file can be had: everything stays in memory
    mutable Lines lines_;
    mutable bool linesCurrent_ = false;
};

}  // namespace brevo
