#pragma once

#include <cstddef>
#include <cstdint>
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
