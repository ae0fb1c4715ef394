#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brx/document.h"
#include "report/finding.h"
#include "report/line_writer.h"
#include "verify/messages.h"

namespace brevo {

class Findings;

namespace detail {
// Lets a test start counting where a run would be.
void setCountsSoFar(Findings& findings, const FindingCounts& counts);
}  // namespace detail

// The findings of one run. Each is counted, takes the next running number (what "[%d]"
// shows), and goes to the report through the line writer, with the text it concerns. Findings
// also know whether a pass reported anything, which decides whether its section gets a
// heading.
class Findings {
public:
    using Args = std::initializer_list<MessageArg>;

    explicit Findings(ReportLineWriter& writer) : writer_(writer) {}

    // The file whose segments are quoted from now on: the source first, then the target.
    void quoteFrom(Side side) { side_ = side; }
    Side quotedSide() const { return side_; }
    ParagraphStyle quoteStyle() const;
    // The segments of a file, the lines they begin on and the blank lines left out of their
    // text, so that findings can name the segments and lines they concern.
    void knowSegments(Side side, const std::vector<Segment>& segments,
                      const std::vector<std::uint32_t>* lines = nullptr,
                      const std::vector<LineGap>* gaps = nullptr);

    // The message line alone, its tags marked.
    const Finding& report(Severity severity, MessageId id, Args args = {},
                          SegmentRefs segments = {}, ParagraphStyle style = ParagraphStyle::Report);
    // The message, then the segment in its frame, in the quoted file's style unless another
    // is given.
    const Finding& reportWithSegment(Severity severity, MessageId id, Args args,
                                     const Segment& segment, Marking marking = Marking::Tags,
                                     std::optional<ParagraphStyle> segmentStyle = std::nullopt);
    // The same, placed at `place` rather than at the segment: for a segment that carries text
    // from before it.
    const Finding& reportWithSegment(Severity severity, MessageId id, Args args,
                                     const Segment& segment, SegmentRefs place, Marking marking);
    // The message, then the segments before, at and after `position` in one frame; placed at
    // `position` unless `place` is given.
    const Finding& reportWithNeighbours(Severity severity, MessageId id, Args args,
                                        const std::vector<Segment>& segments, std::size_t position,
                                        std::optional<SegmentRefs> place = {});
    // A line that opens its section without being a finding: the tag count reports.
    void listUncounted(std::string_view line);
    // A line of the report's own, unmarked: notes between findings.
    void note(std::string_view line) { writer_.appendReportLine(line); }

    // Hears of every finding as it is counted, after the report has its lines.
    void onFinding(std::function<void(const Finding&)> listener) {
        listener_ = std::move(listener);
    }

    // Where the text that findings concern is framed.
    ReportLineWriter& writer() { return writer_; }
    // The place of `segment` in its file, when the segments of that file are known; at the
    // line where `piece`, a stretch of its text, begins when one is given.
    SegmentRefs refsTo(const Segment& segment, std::string_view piece = {}) const;
    // Segment `index` of `side`, at the line where `piece`, a stretch of its text, begins;
    // at the segment's own line without one. Lines are found only while a listener hears of
    // the findings.
    SegmentRef refAt(Side side, std::size_t index, std::string_view piece = {}) const;

    // Starts a section; sectionOpened() then tells whether anything was reported in it.
    void startSection() { sectionOpened_ = false; }
    bool sectionOpened() const { return sectionOpened_; }

    int numbered() const { return numbered_; }
    FindingCounts counts() const { return {numbered_ - alerts_ - warnings_, alerts_, warnings_}; }

private:
    friend void detail::setCountsSoFar(Findings& findings, const FindingCounts& counts);

    const Finding& count(Severity severity, MessageId id, Args args, SegmentRefs segments);

    ReportLineWriter& writer_;
    Side side_ = Side::Source;
    struct KnownFile {
        const std::vector<Segment>* segments = nullptr;
        const std::vector<std::uint32_t>* lines = nullptr;
        const std::vector<LineGap>* gaps = nullptr;
    };
    const KnownFile& known(Side side) const { return side == Side::Source ? source_ : target_; }

    KnownFile source_;
    KnownFile target_;
    Finding last_;
    std::function<void(const Finding&)> listener_;
    int numbered_ = 0;
    int alerts_ = 0;
    int warnings_ = 0;
    bool sectionOpened_ = false;
};

}  // namespace brevo
