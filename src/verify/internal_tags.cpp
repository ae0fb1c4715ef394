#include "verify/internal_tags.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "brx/tag_vocabulary.h"

namespace brevo {
namespace {

// --- pairing ---------------------------------------------------------------------------

struct TagPair {
    std::int32_t openId;
    std::int32_t closeId;
    int withoutEndingMessage;
    int withoutStartingMessage;
};

// In the order in which unclosed pairs are reported at the end of a segment.
constexpr std::array<TagPair, 8> kPairs{{
    {93, 94, 18403, 18404},  // <:cs "  <:/cs>
    {95, 96, 18405, 18406},  // <:sc "  <:/sc>
    {97, 98, 18407, 18408},  // <:fc    <:/fc>
    {78, 79, 18409, 18410},  // <:b>    <:/b>
    {80, 81, 18411, 18412},  // <:i>    <:/i>
    {82, 83, 18413, 18414},  // <:bi>   <:/bi>
    {84, 85, 18415, 18416},  // <:c>    <:/c>
    {86, 87, 18421, 18422},  // <:s>    <:/s>
}};

constexpr std::int32_t kCnsOpenId = 91;
constexpr std::int32_t kCnsCloseId = 92;

// Walks the internal tags of one file, segment by segment. Only <:cns may span segments.
class PairingCheck {
public:
    PairingCheck(const std::vector<Segment>& segments, Findings& findings)
        : segments_(segments), findings_(findings) {}

    void run(const std::vector<InternalTag>& tags) {
        for (std::size_t i = 0; i < tags.size(); ++i) {
            if (i > 0 && tags[i].externalTag != tags[i - 1].externalTag) {
                reportUnclosed(tags[i - 1].externalTag);
            }
            visit(tags[i]);
        }
        if (!tags.empty()) reportUnclosed(tags.back().externalTag);
    }

private:
    void visit(const InternalTag& tag) {
        if (tag.id == kCnsOpenId) {
            if (cnsOpen_) report(18401, tag.externalTag);
            cnsOpen_ = true;
            return;
        }
        if (tag.id == kCnsCloseId) {
            if (!cnsOpen_) report(18402, tag.externalTag);
            cnsOpen_ = false;
            return;
        }
        for (std::size_t p = 0; p < kPairs.size(); ++p) {
            if (tag.id == kPairs[p].openId) {
                ++openCounts_[p];
            } else if (tag.id == kPairs[p].closeId) {
                if (openCounts_[p] == 0) {
                    report(kPairs[p].withoutStartingMessage, tag.externalTag);
                } else {
                    --openCounts_[p];
                }
            }
        }
    }

    // End of a segment's group: every pair still open is reported with its count.
    void reportUnclosed(std::size_t segment) {
        for (std::size_t p = 0; p < kPairs.size(); ++p) {
            if (openCounts_[p] > 0) report(kPairs[p].withoutEndingMessage, segment, openCounts_[p]);
            openCounts_[p] = 0;
        }
    }

    void report(int messageId, std::size_t segment, long long count = 1) {
        std::string message = findings_.numbered(Severity::Error, messageId, {count});
        findings_.reportWithNeighbourSegments(message, segments_, segment);
    }

    const std::vector<Segment>& segments_;
    Findings& findings_;
    std::array<long long, kPairs.size()> openCounts_{};
    bool cnsOpen_ = false;
};

// --- structure -------------------------------------------------------------------------

constexpr std::int32_t kSpecialCharacterId = 75;
constexpr std::int32_t kInlineBuildingBlockId = 119;
constexpr std::int32_t kInlineFrameId = 111;
constexpr std::int32_t kBuildingBlockId = 61;

bool isCharacterOrNumbered(std::int32_t id) {
    return id == kSpecialCharacterId || id == kNumberedTagId;
}

// Building blocks are told apart by their full tag text; each named one takes a single kind.
bool buildingBlockAllows(std::string_view ownerText, std::int32_t id) {
    if (ownerText == "<bb \"Variable Format\">") return id == 100;
    if (ownerText == "<bb \"Prefix Format\">") return id == 101;
    if (ownerText == "<bb \"Shared Frame Format\">") return id == 112;
    if (ownerText == "<bb \"Autonumber Stream Format\">") return id == 90;
    return isCharacterOrNumbered(id);
}

// The message for an internal tag its owner does not admit, or nothing when it is allowed.
std::optional<int> structureViolation(std::int32_t ownerId, std::string_view ownerText,
                                      std::int32_t id) {
    auto unless = [](bool allowed, int messageId) -> std::optional<int> {
        if (allowed) return std::nullopt;
        return messageId;
    };
    switch (ownerId) {
        case 2:
            return unless(isCharacterOrNumbered(id), 18526);  // <xrv "
        case 6:                                               // <ts
            return unless(isCharacterOrNumbered(id) || id == kInlineBuildingBlockId, 18510);
        case 15:
            return unless(isCharacterOrNumbered(id), 18523);  // <tl
        case 25:
            return unless(id == kInlineFrameId, 18527);  // <ctart
        case 31:
            return unless(isCharacterOrNumbered(id), 18512);  // <ie>
        case 32:
            return unless(isCharacterOrNumbered(id), 18513);  // <il>
        case 33:
            return unless(isCharacterOrNumbered(id), 18514);  // <ss>
        case 34:
            return unless(isCharacterOrNumbered(id), 18522);  // <sa>
        case kBuildingBlockId:
            return unless(buildingBlockAllows(ownerText, id), 18519);
        default:
            return std::nullopt;
    }
}

}  // namespace

void checkInternalPairing(const std::vector<Segment>& segments,
                          const std::vector<InternalTag>& internalTags, Findings& findings) {
    PairingCheck(segments, findings).run(internalTags);
}

void checkInternalStructure(const std::vector<Segment>& segments,
                            const std::vector<InternalTag>& internalTags, Findings& findings) {
    for (const InternalTag& tag : internalTags) {
        std::string_view ownerText;
        if (tag.externalTag < segments.size()) ownerText = segments[tag.externalTag].tagText();
        std::optional<int> messageId = structureViolation(tag.externalId, ownerText, tag.id);
        if (!messageId) continue;
        std::string message =
            *messageId == 18519
                ? findings.numbered(Severity::Error, 18519, {std::string_view(tag.text), ownerText})
                : findings.numbered(Severity::Error, *messageId, {std::string_view(tag.text)});
        findings.reportWithNeighbourSegments(message, segments, tag.externalTag);
    }
}

}  // namespace brevo
