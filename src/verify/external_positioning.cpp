#include "verify/external_positioning.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "brx/tag_pieces.h"

namespace brevo {
namespace {

constexpr long long kCrossReferenceLimit = 20;
constexpr long long kIndexEntryLimit = 250;
constexpr long long kPrefixBlockLimit = 9;
constexpr long long kLevelBlockLimit = 15;

// Blocks that carry their format text, so any text may follow them.
constexpr std::array<std::string_view, 4> kFormatTextBlocks = {
    "<bb \"Variable Format\">", "<bb \"Prefix Format\">", "<bb \"Shared Frame Format\">",
    "<bb \"Autonumber Stream Format\">"};

std::string_view withoutFinalLineFeeds(std::string_view text) {
    while (text.ends_with('\n')) text.remove_suffix(1);
    return text;
}

// Internal tags count as one character each, external tags as none, and line feeds that end a
// run of text not at all.
long long textLength(std::string_view trimmedSegment) {
    long long length = 0;
    TagPieceReader reader(trimmedSegment);
    while (auto piece = reader.next()) {
        if (piece->kind == TagPiece::Kind::Text) {
            length += static_cast<long long>(withoutFinalLineFeeds(piece->text).size());
        } else if (piece->text.starts_with("<:")) {
            ++length;
        }
    }
    return length;
}

// Whether the segment, without its final line feeds, is its tag and nothing else. Both begin
// where the segment does unless tagless text stands in front of the tag.
bool isTagAlone(const Segment& segment, std::string_view trimmed) {
    if (trimmed.size() != segment.tagLength) return false;
    return segment.tagStart == 0 || trimmed == segment.tagText();
}

class PositioningCheck {
public:
    explicit PositioningCheck(Findings& findings) : findings_(findings) {}

    void check(const Segment& segment);

private:
    void checkText(const Segment& segment, std::string_view trimmed);
    void checkBuildingBlock(const Segment& segment, std::string_view trimmed);
    void checkIndexEntry(const Segment& segment, std::string_view trimmed);
    void checkBlockLength(const Segment& segment, std::string_view trimmed, long long limit);
    void requireNoText(const Segment& segment, std::string_view trimmed,
                       std::string_view alsoAccepted = {});
    void reportWithSegment(const Segment& segment, MessageId id, Findings::Args args);

    Findings& findings_;
    std::string indexMarker_;
    std::string format_;
};

// Paragraphs and the like may hold any text, so theirs is not even read: most segments are
// paragraphs, and their text has long left the cache.
void PositioningCheck::check(const Segment& segment) {
    switch (segment.id) {
        case 0:    // <ps "
        case 1:    // <pn "
        case 6:    // <ts
        case 15:   // <tl
        case 25:   // <ctart
        case 67:   // <vfmt "
        case 69:   // <pnfmt "
        case 123:  // unknown external tag
            return;
        default:
            checkText(segment, withoutFinalLineFeeds(segment.text));
    }
}

void PositioningCheck::checkText(const Segment& segment, std::string_view trimmed) {
    switch (segment.id) {
        case 2:  // <xrv "
            if (long long length = textLength(trimmed); length > kCrossReferenceLimit) {
                reportWithSegment(segment, MessageId::TextTooLong,
                                  {segment.tagText(), length - kCrossReferenceLimit});
            }
            return;
        case 29:  // <imk
            indexMarker_ = segment.tagText();
            requireNoText(segment, trimmed, "<#imk>");
            return;
        case 30:  // </imk>
            requireNoText(segment, trimmed, "<#/imk>");
            return;
        case 31:  // <ie>
        case 32:  // <il>
        case 33:  // <ss>
        case 34:  // <sa>
            checkIndexEntry(segment, trimmed);
            return;
        case 36:  // </brx>
            if (!isTagAlone(segment, trimmed))
                reportWithSegment(segment, MessageId::TextAfterEndOfBrx, {});
            return;
        case 61:  // <bb "
            checkBuildingBlock(segment, trimmed);
            return;
        case 62:  // <anfmt "
        case 64:  // <pgfmt "
            format_ = segment.tagText();
            requireNoText(segment, trimmed);
            return;
        default:
            // Most of the rest: checked here, without a call.
            if (!isTagAlone(segment, trimmed)) requireNoText(segment, trimmed);
    }
}

void PositioningCheck::checkBuildingBlock(const Segment& segment, std::string_view trimmed) {
    const std::string_view tag = segment.tagText();
    if (tag.starts_with("<bb \"Prefix")) {
        checkBlockLength(segment, trimmed, kPrefixBlockLimit);
    } else if (tag.starts_with("<bb \"Level")) {
        checkBlockLength(segment, trimmed, kLevelBlockLimit);
    } else if (std::find(kFormatTextBlocks.begin(), kFormatTextBlocks.end(), tag) ==
               kFormatTextBlocks.end()) {
        requireNoText(segment, trimmed);
    }
}

// Index entries name the marker they belong to, on a line of their own.
void PositioningCheck::checkIndexEntry(const Segment& segment, std::string_view trimmed) {
    const long long length = textLength(trimmed);
    if (length <= kIndexEntryLimit) return;
    findings_.report(Severity::Error, MessageId::IndexMarkerTooLong,
                     {std::string_view(indexMarker_), length - kIndexEntryLimit},
                     findings_.refsTo(segment));
}

void PositioningCheck::checkBlockLength(const Segment& segment, std::string_view trimmed,
                                        long long limit) {
    const long long length = textLength(trimmed);
    if (length > limit) {
        reportWithSegment(segment, MessageId::TextInElementTooLong,
                          {segment.tagText(), std::string_view(format_), length - limit});
    }
}

void PositioningCheck::requireNoText(const Segment& segment, std::string_view trimmed,
                                     std::string_view alsoAccepted) {
    if (isTagAlone(segment, trimmed)) return;
    if (!alsoAccepted.empty() && trimmed == alsoAccepted) return;
    reportWithSegment(segment, MessageId::TextBeforeNextExternalTag, {segment.tagText()});
}

void PositioningCheck::reportWithSegment(const Segment& segment, MessageId id,
                                         Findings::Args args) {
    findings_.reportWithSegment(Severity::Error, id, args, segment);
}

}  // namespace

void checkExternalPositioning(const std::vector<Segment>& segments, Findings& findings) {
    PositioningCheck check(findings);
    for (const Segment& segment : segments) check.check(segment);
}

}  // namespace brevo
