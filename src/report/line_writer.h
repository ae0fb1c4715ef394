#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brx/document.h"
#include "brx/file_format.h"
#include "brx/language_table.h"
#include "report/report_log.h"

namespace brevo {

// The paragraph style of a report line: the report's own text, or text quoted from the source
// or the target file (in the font of its code page).
enum class ParagraphStyle { Report = 2, Source = 3, Target = 4 };

// Whether the tags of a line are marked: in RTF reports they are set in character styles.
enum class Marking { Plain, Tags };

// Every line of a report goes through here. In RTF reports each line becomes one paragraph
// with its tags in character styles; in text reports lines are stored as they are.
class ReportLineWriter {
public:
    using Position = ReportLog::Position;

    // `languages` is read at every line: the code pages change when the target is loaded.
    ReportLineWriter(ReportLog& log, FileFormat format, const LanguageSettings& languages)
        : log_(log), rtf_(format == FileFormat::Rtf), languages_(languages) {}

    // Inserts directly after `after`, or appends when no position is given.
    Position addReportLine(std::string_view line, Marking marking, ParagraphStyle style,
                           std::optional<Position> after = std::nullopt);
    // Appends without handing out a position, which is cheaper for the many lines that never
    // get anything inserted after them.
    void appendReportLine(std::string_view line, Marking marking = Marking::Plain,
                          ParagraphStyle style = ParagraphStyle::Report);

    // Text quoted from a file, in frames of their own.
    // One segment between "Text Segment" lines.
    void writeSegmentFrame(std::string_view segmentText, Marking marking, ParagraphStyle style);
    // The segments before, at and after `position` in one frame, with an extra empty line
    // below: a structural fault is only readable with its surroundings.
    void writeNeighbourFrame(const std::vector<Segment>& segments, std::size_t position,
                             ParagraphStyle style);
    // The source text and the translated text in one frame; either may be missing.
    void writeSourceAndTargetFrame(std::optional<std::string_view> sourceText,
                                   std::optional<std::string_view> targetText);

    ReportLog& log() { return log_; }
    bool rtf() const { return rtf_; }

private:
    // The line as stored: unchanged for text reports, as one RTF paragraph otherwise.
    std::string_view encode(std::string_view line, Marking marking, ParagraphStyle style);

    ReportLog& log_;
    bool rtf_;
    const LanguageSettings& languages_;
    std::string encoded_;  // reused for every RTF line
    std::string joined_;   // reused for every block of neighbouring segments
};

namespace detail {
// One RTF paragraph for `line`: escapes, hexadecimal bytes, tags wrapped in character styles.
std::string encodeRtfLine(std::string_view line, Marking marking, ParagraphStyle style,
                          int sourceCodePage, int targetCodePage);

// Removes one final "\n", if there is one.
std::string_view dropFinalNewline(std::string_view text);
}  // namespace detail

inline constexpr std::string_view kSegmentFrameTop = "+++++++++++++ Text Segment +++++++++++++";
inline constexpr std::string_view kSegmentFrameBottom =
    "++++++++++++++++++++++++++++++++++++++++\n";
inline constexpr std::string_view kNeighbourFrameBottom =
    "++++++++++++++++++++++++++++++++++++++++\n\n";
inline constexpr std::string_view kSourceFrameTop = "+++++++++++++++ Source Text +++++++++++++++";
inline constexpr std::string_view kTargetFrameTop = "+++++++++++++ Translated Text +++++++++++++";
inline constexpr std::string_view kPairFrameBottom =
    "+++++++++++++++++++++++++++++++++++++++++++\n";

}  // namespace brevo
