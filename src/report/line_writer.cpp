#include "report/line_writer.h"

#include <algorithm>

namespace brevo {

std::string_view dropFinalNewline(std::string_view text) {
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    return text;
}

std::string encodeRtfLine(std::string_view line, bool markTags, int style, int sourceCodePage,
                          int targetCodePage) {
    static constexpr char kHex[] = "0123456789abcdef";
    const bool pagesDiffer = sourceCodePage != targetCodePage;
    std::string out;
    out.reserve(line.size() + 64);
    out += "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f";
    out += style == kReportStyle ? '1' : (style == kTargetStyle && pagesDiffer ? '4' : '3');
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

std::string_view ReportLineWriter::encode(std::string_view line, bool markTags, int style) {
    if (!rtf_) return line;
    encoded_ =
        encodeRtfLine(line, markTags, style, languages_.sourceCodePage, languages_.targetCodePage);
    return encoded_;
}

ReportLineWriter::Position ReportLineWriter::addReportLine(std::string_view line, bool markTags,
                                                           int style,
                                                           std::optional<Position> after) {
    if (after) return log_.insertAfter(*after, encode(line, markTags, style));
    log_.append(encode(line, markTags, style));
    return *log_.last();
}

void ReportLineWriter::appendReportLine(std::string_view line, bool markTags, int style) {
    log_.append(encode(line, markTags, style));
}

void ReportLineWriter::reportWithSegment(std::string_view message, std::string_view segmentText,
                                         bool markTags, int dumpStyle) {
    appendReportLine(message, markTags, kReportStyle);
    appendReportLine(kSegmentFrameTop, false, kReportStyle);
    appendReportLine(dropFinalNewline(segmentText), markTags, dumpStyle);
    appendReportLine(kSegmentFrameBottom, false, kReportStyle);
}

void ReportLineWriter::reportWithNeighbourSegments(std::string_view message,
                                                   const std::vector<Segment>& segments,
                                                   std::size_t position, int dumpStyle) {
    // Previous, own and next segment, whichever of them exist.
    const std::size_t first = position > 0 ? position - 1 : 0;
    const std::size_t end = std::min(position + 2, segments.size());
    joined_.clear();
    for (std::size_t i = first; i < end; ++i) joined_ += segments[i].text;

    appendReportLine(message, true, kReportStyle);
    appendReportLine(kSegmentFrameTop, false, kReportStyle);
    appendReportLine(dropFinalNewline(joined_), true, dumpStyle);
    appendReportLine(kNeighbourFrameBottom, false, kReportStyle);
}

void ReportLineWriter::reportSourceAndTarget(std::string_view sourceText,
                                             std::string_view targetText) {
    appendReportLine("+++++++++++++++ Source Text +++++++++++++++", false, kReportStyle);
    appendReportLine(dropFinalNewline(sourceText), true, kSourceStyle);
    appendReportLine("+++++++++++++ Translated Text +++++++++++++", false, kReportStyle);
    appendReportLine(dropFinalNewline(targetText), true, kTargetStyle);
    appendReportLine("+++++++++++++++++++++++++++++++++++++++++++\n", false, kReportStyle);
}

}  // namespace brevo
