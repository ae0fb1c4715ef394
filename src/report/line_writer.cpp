#include "report/line_writer.h"

#include <algorithm>

namespace brevo {

std::string_view detail::dropFinalNewline(std::string_view text) {
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    return text;
}

std::string detail::encodeRtfLine(std::string_view line, Marking marking, ParagraphStyle style,
                                  int sourceCodePage, int targetCodePage) {
    const bool markTags = marking == Marking::Tags;
    static constexpr char kHex[] = "0123456789abcdef";
    const bool pagesDiffer = sourceCodePage != targetCodePage;
    std::string out;
    out.reserve(line.size() + 64);
    out += "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f";
    out += style == ParagraphStyle::Report
               ? '1'
               : (style == ParagraphStyle::Target && pagesDiffer ? '4' : '3');
    out += ' ';

    int depth = 0;
    bool inTag = false;
    std::string currentTag;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const auto byte = static_cast<unsigned char>(c);
        if (inTag) currentTag += c;
        switch (c) {
            case '\t':
                out += "\\tab ";
                break;
            case '\n':
                out += "\n\\par ";
                break;
            case '<':
                if (markTags) {
                    ++depth;
                    if (!inTag) {
                        currentTag.assign(1, '<');
                        const bool internal = i + 1 < line.size() && line[i + 1] == ':';
                        out +=
                            internal ? "{\\cs6\\cf6\\f1\\lang1024 " : "{\\cs5\\cf15\\f1\\lang1024 ";
                        inTag = true;
                    }
                }
                out += '<';
                break;
            case '>':
                out += '>';
                if (!markTags) break;
                --depth;
                if (depth == 0) {
                    out += '}';
                    inTag = false;
                    if (currentTag == "<:c>") {
                        out += "\\f3 ";
                    } else if (currentTag == "<:/c>") {
                        out += pagesDiffer ? "\\f4 " : "\\f3 ";
                    }
                    currentTag.clear();
                } else if (depth < 0) {
                    depth = 0;
                    currentTag.clear();
                }
                break;
            case '\\':
                out += "\\'5c";
                break;
            case '{':
                out += "\\'7b";
                break;
            case '}':
                out += "\\'7d";
                break;
            default:
                if (byte >= 128) {
                    out += "\\'";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 15];
                } else {
                    out += c;
                }
        }
    }
    // A marked line that ends inside a tag would leave its style group open.
    if (inTag) out += '}';
    return out;
}

std::string_view ReportLineWriter::encode(std::string_view line, Marking marking,
                                          ParagraphStyle style) {
    if (!rtf_) return line;
    encoded_ = detail::encodeRtfLine(line, marking, style, languages_.sourceCodePage,
                                     languages_.targetCodePage);
    return encoded_;
}

ReportLineWriter::Position ReportLineWriter::addReportLine(std::string_view line, Marking marking,
                                                           ParagraphStyle style,
                                                           std::optional<Position> after) {
    if (after) return log_.insertAfter(*after, encode(line, marking, style));
    log_.append(encode(line, marking, style));
    return *log_.last();
}

void ReportLineWriter::appendReportLine(std::string_view line, Marking marking,
                                        ParagraphStyle style) {
    log_.append(encode(line, marking, style));
}

void ReportLineWriter::writeSegmentFrame(std::string_view segmentText, Marking marking,
                                         ParagraphStyle style) {
    appendReportLine(kSegmentFrameTop);
    appendReportLine(detail::dropFinalNewline(segmentText), marking, style);
    appendReportLine(kSegmentFrameBottom);
}

void ReportLineWriter::writeNeighbourFrame(const std::vector<Segment>& segments,
                                           std::size_t position, ParagraphStyle style) {
    // Previous, own and next segment, whichever of them exist.
    const std::size_t first = position > 0 ? position - 1 : 0;
    const std::size_t end = std::min(position + 2, segments.size());
    joined_.clear();
    for (std::size_t i = first; i < end; ++i) joined_ += segments[i].text;

    appendReportLine(kSegmentFrameTop);
    appendReportLine(detail::dropFinalNewline(joined_), Marking::Tags, style);
    appendReportLine(kNeighbourFrameBottom);
}

void ReportLineWriter::writeSourceAndTargetFrame(std::optional<std::string_view> sourceText,
                                                 std::optional<std::string_view> targetText) {
    if (sourceText) {
        appendReportLine(kSourceFrameTop);
        appendReportLine(detail::dropFinalNewline(*sourceText), Marking::Tags,
                         ParagraphStyle::Source);
    }
    if (targetText) {
        appendReportLine(kTargetFrameTop);
        appendReportLine(detail::dropFinalNewline(*targetText), Marking::Tags,
                         ParagraphStyle::Target);
    }
    appendReportLine(kPairFrameBottom);
}

}  // namespace brevo
