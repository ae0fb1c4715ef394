#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "report/finding.h"
#include "report/line_writer.h"
#include "verify/messages.h"

namespace brevo {

// The counted findings of one run and the writer their lines go through. Every counted
// message takes the next running number, which is what "[%d]" prints.
class Findings {
public:
    explicit Findings(ReportLineWriter& writer) : writer(writer) {}

    // Counts a finding and formats message `id` with its running number before `args`.
    std::string numbered(Severity severity, int id, std::initializer_list<MessageArg> args = {});
    // Counts a finding whose message carries no number.
    std::string counted(Severity severity, int id, std::initializer_list<MessageArg> args = {});
    void count(Severity severity);

    // Message, then the segment text in its frame, in the style of the file being checked.
    void reportWithSegment(std::string_view message, std::string_view segmentText, bool markTags) {
        writer.reportWithSegment(message, segmentText, markTags, dumpStyle);
    }
    // Message, then the previous, the owning and the next segment in one frame.
    void reportWithNeighbourSegments(std::string_view message, const std::vector<Segment>& segments,
                                     std::size_t position) {
        writer.reportWithNeighbourSegments(message, segments, position, dumpStyle);
    }
    // A plain report line appended at the end.
    void addLine(std::string_view line, bool markTags = false, int style = kReportStyle) {
        writer.appendReportLine(line, markTags, style);
    }

    int errorCount() const { return messageCount - alertCount - warningCount; }
    FindingCounts counts() const { return {errorCount(), alertCount, warningCount}; }

    ReportLineWriter& writer;
    int messageCount = 0;
    int alertCount = 0;
    int warningCount = 0;
    int dumpStyle = kSourceStyle;  // style of segment text: the source's, then the target's
};

}  // namespace brevo
