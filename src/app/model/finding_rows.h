#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/verify_batch.h"
#include "brx/file_format.h"
#include "report/finding.h"

namespace brevo::app {

// Where a finding points in one of the two files: the line of its segment's tag and the
// segment's place among the file's segments.
struct FindingSpot {
    std::uint32_t line = 0;
    std::size_t segment = 0;
};

// A finding as the findings table shows it: the message in UTF-8 and the first segment it
// names in each file, where it names one.
struct FindingRow {
    int number = 0;
    Severity severity = Severity::Error;
    std::string message;
    std::optional<FindingSpot> source;
    std::optional<FindingSpot> target;
    Side file = Side::Source;  // the file the finding is about
};

// The findings of one pair and what is needed to show them beside its two files.
struct PairFindings {
    std::string sourcePath;
    std::string targetPath;
    std::string reportPath;
    FileFormat format = FileFormat::Text;
    int sourceCodePage = 1252;
    int targetCodePage = 1252;
    FindingCounts counts;
    std::vector<FindingRow> rows;
};

PairFindings pairFindings(const PairRecord& record, FileFormat format);

// The word the report uses for a severity: "ERROR", "ALERT", "WARNING".
std::string_view severityWord(Severity severity);

// Which findings the table shows: the severities ticked and a piece of text that the message
// holds, compared without regard to the case of Latin letters.
struct FindingFilter {
    bool errors = true;
    bool alerts = true;
    bool warnings = true;
    std::string text;  // UTF-8; empty takes every message

    bool takes(Severity severity) const;
    bool accepts(const FindingRow& row) const;
};

// A finding of the batch: its pair and its row there.
struct FindingPlace {
    std::size_t pair = 0;
    std::size_t row = 0;
    bool operator==(const FindingPlace&) const = default;
};

enum class Direction { Next, Previous };

// The finding after (or before) `from` in the batch that the filter accepts: in report order
// within a pair, pair after pair, round from the last to the first. Without `from`, the first
// (or last) of all. Nothing when the filter accepts no finding at all.
std::optional<FindingPlace> stepFinding(const std::vector<PairFindings>& pairs,
                                        std::optional<FindingPlace> from, Direction direction,
                                        const FindingFilter& filter);

}  // namespace brevo::app
