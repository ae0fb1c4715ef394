#pragma once

#include <cstddef>
#include <list>
#include <optional>
#include <string>

namespace brevo {

// The lines of one report. Lines may hold "\n". Positions stay valid while lines are added
// before or after them, so a pass's heading can be inserted in front of its messages.
class ReportLog {
public:
    using Lines = std::list<std::string>;
    using Position = Lines::iterator;

    Position append(std::string line) { return lines_.insert(lines_.end(), std::move(line)); }
    Position insertAfter(Position position, std::string line) {
        return lines_.insert(std::next(position), std::move(line));
    }

    std::optional<Position> last() {
        if (lines_.empty()) return std::nullopt;
        return std::prev(lines_.end());
    }
    std::size_t size() const { return lines_.size(); }
    const Lines& lines() const { return lines_; }
    Position begin() { return lines_.begin(); }
    Position end() { return lines_.end(); }

private:
    Lines lines_;
};

}  // namespace brevo
