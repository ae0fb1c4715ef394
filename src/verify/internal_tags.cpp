#include "verify/internal_tags.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "brx/tag_vocabulary.h"

namespace brevo {
namespace {

// --- pairing ---------------------------------------------------------------------------

struct TagPair {
    std::int32_t openId;
    std::int32_t closeId;
    MessageId withoutEndingMessage;
    MessageId withoutStartingMessage;
};

// In the order in which unclosed pairs are reported at the end of a segment.
constexpr std::array<TagPair, 8> kPairs{{
    {93, 94, MessageId::CsWithoutEnd, MessageId::CsEndWithoutStart},
    {95, 96, MessageId::ScWithoutEnd, MessageId::ScEndWithoutStart},
    {97, 98, MessageId::FcWithoutEnd, MessageId::FcEndWithoutStart},
    {78, 79, MessageId::BoldWithoutEnd, MessageId::BoldEndWithoutStart},
    {80, 81, MessageId::ItalicWithoutEnd, MessageId::ItalicEndWithoutStart},
    {82, 83, MessageId::BoldItalicWithoutEnd, MessageId::BoldItalicEndWithoutStart},
    {84, 85, MessageId::CodeWithoutEnd, MessageId::CodeEndWithoutStart},
    {86, 87, MessageId::SWithoutEnd, MessageId::SEndWithoutStart},
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
            if (cnsOpen_) report(MessageId::CnsWithoutEnd, tag.externalTag);
            cnsOpen_ = true;
            return;
        }
        if (tag.id == kCnsCloseId) {
            if (!cnsOpen_)
                report(MessageId::CnsEndWithoutStart, tag.externalTag, 1, textOf(segments_, tag));
            cnsOpen_ = false;
            return;
        }
        const PairRole role = roleOf(tag.id);
        if (role.pair == kNoPair) return;
        const std::size_t p = role.pair;
        if (role.opens) {
            ++openCounts_[p];
            openPairs_ |= 1U << p;
        } else if (openCounts_[p] == 0) {
            report(kPairs[p].withoutStartingMessage, tag.externalTag, 1, textOf(segments_, tag));
        } else if (--openCounts_[p] == 0) {
            openPairs_ &= ~(1U << p);
        }
    }

    // Which pair a tag id opens or closes, looked up rather than searched: every internal tag
    // of a file comes here.
    struct PairRole {
        std::uint8_t pair = kNoPair;
        bool opens = false;
    };
    static constexpr std::uint8_t kNoPair = 0xff;
    static constexpr std::size_t kIds = 256;

    static PairRole roleOf(TagId id) {
        // Built while compiling, so that a lookup needs no check that it is ready.
        static constexpr std::array<PairRole, kIds> roles = [] {
            // Filled explicitly: g++ 12 at -O3 left part of a `table{}` zeroed instead of taking
            // the members' defaults.
            std::array<PairRole, kIds> table{};
            table.fill(PairRole{kNoPair, false});
            for (std::size_t p = 0; p < kPairs.size(); ++p) {
                table[static_cast<std::size_t>(kPairs[p].openId)] = {static_cast<std::uint8_t>(p),
                                                                     true};
                table[static_cast<std::size_t>(kPairs[p].closeId)] = {static_cast<std::uint8_t>(p),
                                                                      false};
            }
            return table;
        }();
        if (id < 0 || static_cast<std::size_t>(id) >= kIds) return {};
        return roles[static_cast<std::size_t>(id)];
    }

    // End of a segment's group: every pair still open is reported with its count.
    void reportUnclosed(std::size_t segment) {
        // Most segments close what they open.
        if (openPairs_ == 0) return;
        openPairs_ = 0;
        for (std::size_t p = 0; p < kPairs.size(); ++p) {
            if (openCounts_[p] > 0) report(kPairs[p].withoutEndingMessage, segment, openCounts_[p]);
            openCounts_[p] = 0;
        }
    }

    // At the line of `tag` when the message is about that one tag.
    void report(MessageId id, std::size_t segment, long long count = 1, std::string_view tag = {}) {
        std::optional<SegmentRefs> place;
        if (segment < segments_.size()) place = findings_.refsTo(segments_[segment], tag);
        findings_.reportWithNeighbours(Severity::Error, id, {count}, segments_, segment,
                                       std::move(place));
    }

    const std::vector<Segment>& segments_;
    Findings& findings_;
    std::array<long long, kPairs.size()> openCounts_{};
    unsigned openPairs_ = 0;  // bit p: openCounts_[p] is above zero
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
std::optional<MessageId> structureViolation(std::int32_t ownerId, std::string_view ownerText,
                                            std::int32_t id) {
    auto unless = [](bool allowed, MessageId messageId) -> std::optional<MessageId> {
        if (allowed) return std::nullopt;
        return messageId;
    };
    switch (ownerId) {
        case 2:
            return unless(isCharacterOrNumbered(id),
                          MessageId::NotAfterCrossReferenceVariable);  // <xrv "
        case 6:                                                        // <ts
            return unless(isCharacterOrNumbered(id) || id == kInlineBuildingBlockId,
                          MessageId::NotInsideTextSection);
        case 15:
            return unless(isCharacterOrNumbered(id), MessageId::NotInsideTitle);  // <tl
        case 25:
            return unless(id == kInlineFrameId, MessageId::NotInsideFrameArticle);  // <ctart
        case 31:
            return unless(isCharacterOrNumbered(id), MessageId::NotInsideIndexEntry);  // <ie>
        case 32:
            return unless(isCharacterOrNumbered(id), MessageId::NotInsideIndexLevel);  // <il>
        case 33:
            return unless(isCharacterOrNumbered(id), MessageId::NotInsideSortString);  // <ss>
        case 34:
            return unless(isCharacterOrNumbered(id), MessageId::NotInsideSeeAlso);  // <sa>
        case kBuildingBlockId:
            return unless(buildingBlockAllows(ownerText, id), MessageId::NotInsideBuildingBlock);
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
        TagId ownerId = 0;
        if (tag.externalTag < segments.size()) {
            ownerText = segments[tag.externalTag].tagText();
            ownerId = segments[tag.externalTag].id;
        }
        const auto id = structureViolation(ownerId, ownerText, tag.id);
        if (!id) continue;
        const std::string_view text = textOf(segments, tag);
        // The message names the tag, so it points at the tag's own line.
        std::optional<SegmentRefs> place;
        if (tag.externalTag < segments.size())
            place = findings.refsTo(segments[tag.externalTag], text);
        if (*id == MessageId::NotInsideBuildingBlock) {
            findings.reportWithNeighbours(Severity::Error, *id, {text, ownerText}, segments,
                                          tag.externalTag, std::move(place));
        } else {
            findings.reportWithNeighbours(Severity::Error, *id, {text}, segments, tag.externalTag,
                                          std::move(place));
        }
    }
}

}  // namespace brevo
