#include "verify/japanese_check.h"

#include <algorithm>
#include <string_view>

#include "report/line_writer.h"

namespace brevo {
namespace {

bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Double-byte characters that have no glyph in the publishing system.
bool isRejected(unsigned char lead, unsigned char trail) {
    switch (lead) {
        case 0xEA:
            return trail == 0xA3 || trail == 0xA4;
        case 0xED:
        case 0xEE:
        case 0xFA:
        case 0xFB:
        case 0xFC:
            return true;
        default:
            return false;
    }
}

// Walks the text after a segment's own tag. Text between "<:c>" and "<:/c>" is not read as
// Japanese; bytes inside tags are, since quoted values hold text too.
class SegmentWalk {
public:
    SegmentWalk(const Segment& segment, Findings& findings)
        : segment_(segment), text_(segment.text), findings_(findings) {}

    // True when the segment held at least one rejected character.
    bool run(std::size_t start) {
        for (std::size_t i = start; i < text_.size(); ++i) {
            const char c = text_[i];
            if (c == '<') {
                openTag(i);
            } else if (c == '>') {
                closeTag(i);
            } else if (checking_) {
                readByte(c);
            }
        }
        return reported_;
    }

private:
    void openTag(std::size_t position) {
        if (depth_ == 0) tagStart_ = position;
        ++depth_;
    }

    void closeTag(std::size_t position) {
        if (depth_ == 1) {
            const std::string_view tag = text_.substr(tagStart_, position + 1 - tagStart_);
            if (tag == "<:c>") {
                checking_ = false;
            } else if (tag == "<:/c>") {
                checking_ = true;
            }
        }
        if (depth_ > 0) --depth_;
    }

    void readByte(char c) {
        const auto byte = static_cast<unsigned char>(c);
        if (!haveLead_) {
            haveLead_ = isLeadByte(byte);
            lead_ = c;
            return;
        }
        haveLead_ = false;
        if (!isRejected(static_cast<unsigned char>(lead_), byte)) return;
        findings_.report(Severity::Alert, MessageId::JapaneseCharacterMissing, {lead_, c},
                         findings_.refsTo(segment_), findings_.quoteStyle());
        reported_ = true;
    }

    const Segment& segment_;
    std::string_view text_;
    Findings& findings_;
    int depth_ = 0;
    std::size_t tagStart_ = 0;
    bool checking_ = true;
    bool haveLead_ = false;
    char lead_ = 0;
    bool reported_ = false;
};

}  // namespace

void checkJapaneseCharacters(const std::vector<Segment>& segments, Findings& findings) {
    for (const Segment& segment : segments) {
        const std::size_t start = std::min(segment.tagText().size(), segment.text.size());
        if (!SegmentWalk(segment, findings).run(start)) continue;
        findings.writer().writeSegmentFrame(segment.text, Marking::Tags, findings.quoteStyle());
    }
}

}  // namespace brevo
