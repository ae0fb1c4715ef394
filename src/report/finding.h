#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace brevo {

enum class Severity { Error, Alert, Warning };

// How many findings of each severity a report counted.
struct FindingCounts {
    int errors = 0;
    int alerts = 0;
    int warnings = 0;

    bool any() const { return errors != 0 || alerts != 0 || warnings != 0; }
    bool operator==(const FindingCounts&) const = default;
};

enum class Side { Source, Target };

// A segment of the source or the target file, by its place in the file's segments, and the
// line where its tag is (0 where the line is not known).
struct SegmentRef {
    Side side = Side::Source;
    std::size_t index = 0;
    std::uint32_t line = 0;
    bool operator==(const SegmentRef&) const = default;
};

// The segments one finding concerns as it is made: at most one in each file, held in place so
// that the many findings of a damaged pair cost no allocations.
class SegmentRefs {
public:
    SegmentRefs() = default;
    SegmentRefs(std::initializer_list<SegmentRef> refs) {
        for (const SegmentRef& ref : refs) push_back(ref);
    }

    // Beyond one in each file there is nothing to add.
    void push_back(const SegmentRef& ref) {
        if (size_ < refs_.size()) refs_[size_++] = ref;
    }
    SegmentRef* begin() { return refs_.data(); }
    SegmentRef* end() { return refs_.data() + size_; }
    const SegmentRef* begin() const { return refs_.data(); }
    const SegmentRef* end() const { return refs_.data() + size_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool operator==(const SegmentRefs& other) const {
        return std::equal(begin(), end(), other.begin(), other.end());
    }

private:
    std::array<SegmentRef, 2> refs_{};
    std::size_t size_ = 0;
};

// One counted finding of a report.
struct Finding {
    int number = 0;  // the running number its message shows
    Severity severity = Severity::Error;
    std::int32_t messageId = 0;
    std::string text;  // the message as the report shows it
    // The values the message text was made with, the running number first, as it shows them;
    // made only for findings that are kept, as the exports keep them.
    std::vector<std::string> arguments;
    std::vector<SegmentRef> segments;  // the segments it concerns, where they are known
    // The file it is about: the source for the source's own checks, otherwise the target,
    // which the comparisons of the two files judge.
    Side file = Side::Source;
};

}  // namespace brevo
