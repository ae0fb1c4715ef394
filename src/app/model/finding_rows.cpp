#include "app/model/finding_rows.h"

#include <algorithm>

#include "export/text_encoding.h"

namespace brevo::app {
namespace {

std::optional<FindingSpot> spotOn(const Finding& finding, Side side) {
    for (const SegmentRef& segment : finding.segments) {
        if (segment.side == side && segment.line != 0) {
            return FindingSpot{segment.line, segment.index};
        }
    }
    return std::nullopt;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    const auto found = std::search(text.begin(), text.end(), part.begin(), part.end(),
                                   [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
    return found != text.end() || part.empty();
}

}  // namespace

std::string_view severityWord(Severity severity) {
    switch (severity) {
        case Severity::Alert:
            return "ALERT";
        case Severity::Warning:
            return "WARNING";
        case Severity::Error:
            break;
    }
    return "ERROR";
}

PairFindings pairFindings(const PairRecord& record, FileFormat format) {
    const PairOutcome& outcome = record.outcome;
    PairFindings pair{record.sourcePath,      record.targetPath,      record.reportPath, format,
                      outcome.sourceCodePage, outcome.targetCodePage, outcome.counts,    {}};
    if (pair.sourceCodePage == 0) pair.sourceCodePage = 1252;
    if (pair.targetCodePage == 0) pair.targetCodePage = 1252;
    pair.rows.reserve(outcome.findings.size());
    for (const Finding& finding : outcome.findings) {
        // The message quotes the file of its first segment, or the file it is about.
        const Side quoted = finding.segments.empty() ? finding.file : finding.segments.front().side;
        const int codePage = quoted == Side::Target ? pair.targetCodePage : pair.sourceCodePage;
        pair.rows.push_back({finding.number, finding.severity,
                             codePageToUtf8(finding.text, codePage), spotOn(finding, Side::Source),
                             spotOn(finding, Side::Target), finding.file});
    }
    return pair;
}

bool FindingFilter::takes(Severity severity) const {
    switch (severity) {
        case Severity::Alert:
            return alerts;
        case Severity::Warning:
            return warnings;
        case Severity::Error:
            break;
    }
    return errors;
}

bool FindingFilter::accepts(const FindingRow& row) const {
    return takes(row.severity) && containsIgnoringCase(row.message, text);
}

std::optional<FindingPlace> stepFinding(const std::vector<PairFindings>& pairs,
                                        std::optional<FindingPlace> from, Direction direction,
                                        const FindingFilter& filter) {
    // The findings of the batch as one ring, numbered pair after pair.
    std::vector<std::size_t> starts;
    std::size_t total = 0;
    for (const PairFindings& pair : pairs) {
        starts.push_back(total);
        total += pair.rows.size();
    }
    if (total == 0) return std::nullopt;
    const auto placeOf = [&](std::size_t at) {
        const auto after = std::upper_bound(starts.begin(), starts.end(), at);
        const auto pair = static_cast<std::size_t>(after - starts.begin()) - 1;
        return FindingPlace{pair, at - starts[pair]};
    };
    const bool forward = direction == Direction::Next;
    std::size_t at = 0;
    if (from && from->pair < pairs.size() && from->row < pairs[from->pair].rows.size()) {
        at = starts[from->pair] + from->row;
    } else {
        // Starting one before the first (or after the last) lands on it with the first step.
        at = forward ? total - 1 : 0;
    }
    for (std::size_t tried = 0; tried < total; ++tried) {
        at = forward ? (at + 1) % total : (at + total - 1) % total;
        const FindingPlace place = placeOf(at);
        if (filter.accepts(pairs[place.pair].rows[place.row])) return place;
    }
    return std::nullopt;
}

}  // namespace brevo::app
