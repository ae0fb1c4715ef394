#include "verify/findings.h"

#include <algorithm>
#include <array>
#include <functional>
#include <span>
#include <utility>

#include "brx/bracket_scan.h"

namespace brevo {

namespace detail {

void setCountsSoFar(Findings& findings, const FindingCounts& counts) {
    findings.numbered_ = counts.errors + counts.alerts + counts.warnings;
    findings.alerts_ = counts.alerts;
    findings.warnings_ = counts.warnings;
}

}  // namespace detail

ParagraphStyle Findings::quoteStyle() const {
    return side_ == Side::Source ? ParagraphStyle::Source : ParagraphStyle::Target;
}

void Findings::knowSegments(Side side, const std::vector<Segment>& segments,
                            const std::vector<std::uint32_t>* lines,
                            const std::vector<LineGap>* gaps) {
    (side == Side::Source ? source_ : target_) = KnownFile{&segments, lines, gaps};
}

SegmentRefs Findings::refsTo(const Segment& segment, std::string_view piece) const {
    for (const Side side : {Side::Source, Side::Target}) {
        const std::vector<Segment>* segments = known(side).segments;
        if (segments == nullptr || segments->empty()) continue;
        // Segments are compared by address: a segment is an element of its file's list.
        const Segment* first = segments->data();
        if (std::less_equal<>()(first, &segment) &&
            std::less<>()(&segment, first + segments->size())) {
            return {refAt(side, static_cast<std::size_t>(&segment - first), piece)};
        }
    }
    return {};
}

SegmentRef Findings::refAt(Side side, std::size_t index, std::string_view piece) const {
    SegmentRef ref{side, index, 0};
    // The report shows no lines; finding them for a badly damaged pair's many findings would
    // cost more than the rest of the finding, so only those who keep findings get them.
    if (!listener_) return ref;
    const KnownFile& file = known(side);
    if (file.lines == nullptr || index >= file.lines->size()) return ref;
    ref.line = (*file.lines)[index];
    if (file.segments == nullptr || index >= file.segments->size() || piece.empty()) return ref;
    // Line feeds in the segment before the piece move it down from the segment's first line.
    const std::string_view text = (*file.segments)[index].text;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    if (std::less_equal<>()(begin, piece.data()) && std::less<>()(piece.data(), end)) {
        static const std::vector<LineGap> kNoGaps;
        ref.line = lineBelow(file.gaps != nullptr ? *file.gaps : kNoGaps, ref.line,
                             countByte(begin, piece.data(), '\n'));
    }
    return ref;
}

const Finding& Findings::count(Severity severity, MessageId id, Args args, SegmentRefs segments) {
    ++numbered_;
    if (severity == Severity::Alert) ++alerts_;
    if (severity == Severity::Warning) ++warnings_;
    sectionOpened_ = true;

    // Messages have a few arguments at most; the list is kept off the heap.
    constexpr std::size_t kMostArgs = 8;
    std::array<MessageArg, kMostArgs> all;
    std::vector<MessageArg> many;
    std::span<const MessageArg> withNumber;
    if (args.size() < kMostArgs) {
        all[0] = static_cast<long long>(numbered_);
        std::copy(args.begin(), args.end(), all.begin() + 1);
        withNumber = std::span(all.data(), args.size() + 1);
    } else {
        many.push_back(static_cast<long long>(numbered_));
        many.insert(many.end(), args.begin(), args.end());
        withNumber = many;
    }
    last_.number = numbered_;
    last_.severity = severity;
    last_.messageId = static_cast<std::int32_t>(id);
    // The last finding's strings are written over, so that their room serves the next one.
    last_.text.clear();
    appendMessage(last_.text, id, withNumber);
    // The values one by one serve only those who keep findings, as the exports do.
    last_.arguments.resize(listener_ ? withNumber.size() : 0);
    for (std::size_t i = 0; i < last_.arguments.size(); ++i) {
        last_.arguments[i].clear();
        appendArgument(last_.arguments[i], withNumber[i]);
    }
    for (SegmentRef& segment : segments) {
        if (segment.line == 0) segment.line = refAt(segment.side, segment.index).line;
    }
    last_.segments.assign(segments.begin(), segments.end());
    last_.file = side_;
    return last_;
}

const Finding& Findings::report(Severity severity, MessageId id, Args args, SegmentRefs segments,
                                ParagraphStyle style) {
    const Finding& finding = count(severity, id, args, std::move(segments));
    writer_.appendReportLine(finding.text, Marking::Tags, style);
    if (listener_) listener_(finding);
    return finding;
}

const Finding& Findings::reportWithSegment(Severity severity, MessageId id, Args args,
                                           const Segment& segment, Marking marking,
                                           std::optional<ParagraphStyle> segmentStyle) {
    const Finding& finding = count(severity, id, args, refsTo(segment));
    writer_.appendReportLine(finding.text, marking, ParagraphStyle::Report);
    writer_.writeSegmentFrame(segment.text, marking, segmentStyle.value_or(quoteStyle()));
    if (listener_) listener_(finding);
    return finding;
}

const Finding& Findings::reportWithSegment(Severity severity, MessageId id, Args args,
                                           const Segment& segment, SegmentRefs place,
                                           Marking marking) {
    const Finding& finding = count(severity, id, args, std::move(place));
    writer_.appendReportLine(finding.text, marking, ParagraphStyle::Report);
    writer_.writeSegmentFrame(segment.text, marking, quoteStyle());
    if (listener_) listener_(finding);
    return finding;
}

const Finding& Findings::reportWithNeighbours(Severity severity, MessageId id, Args args,
                                              const std::vector<Segment>& segments,
                                              std::size_t position,
                                              std::optional<SegmentRefs> place) {
    SegmentRefs refs;
    if (place) {
        refs = std::move(*place);
    } else if (position < segments.size()) {
        refs = refsTo(segments[position]);
    }
    const Finding& finding = count(severity, id, args, std::move(refs));
    writer_.appendReportLine(finding.text, Marking::Tags, ParagraphStyle::Report);
    writer_.writeNeighbourFrame(segments, position, quoteStyle());
    if (listener_) listener_(finding);
    return finding;
}

void Findings::listUncounted(std::string_view line) {
    sectionOpened_ = true;
    writer_.appendReportLine(line, Marking::Tags, ParagraphStyle::Report);
}

}  // namespace brevo
