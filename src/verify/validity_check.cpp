#include "verify/validity_check.h"

#include <algorithm>
#include <array>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "verify/bracket_walk.h"

namespace brevo {
namespace {

constexpr long long kHighestNumberedTag = 65534;

// Tags that a translator may add with "<#...>" without a message: ps, pn and the index tags.
constexpr std::array<std::int32_t, 7> kSilentlyAddableIds = {0, 1, 29, 30, 31, 32, 33};

bool isMarkedAsAdded(std::string_view tag) {
    return tag.size() > 1 && tag[1] == '#';
}

void reportTag(Findings& findings, MessageId id, std::string_view tag, const Segment& segment) {
    findings.reportWithSegment(Severity::Error, id, {tag}, segment);
}

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The number of "<:rN>": leading white space, one sign, then decimal digits up to the first
// other character. It is read exactly, so a huge number stays out of range instead of wrapping.
bool isValidTagNumber(std::string_view digits) {
    std::size_t i = 0;
    while (i < digits.size() && isCSpace(digits[i])) ++i;
    bool negative = false;
    if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) {
        negative = digits[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) {
        if (value <= kHighestNumberedTag) value = value * 10 + (digits[i] - '0');
    }
    return !negative && value >= 1 && value <= kHighestNumberedTag;
}

// A numbered tag that the source lacks is still acceptable when its number is in range.
bool isAcceptableNumberedTag(std::string_view tag) {
    if (!tag.starts_with("<:r")) return false;
    return isValidTagNumber(tag.substr(3, tag.size() - 4));
}

void classifySourceSegment(Segment& segment, Findings& findings) {
    if (auto match = classifyTag(segment.tagText())) {
        segment.id = match->id;
        segment.tagClass = match->tagClass;
    }
    if (segment.tagClass != TagClass::UnknownExternal) return;
    if (isMarkedAsAdded(segment.tagText())) {
        findings.reportWithSegment(Severity::Error, MessageId::AddedSyntaxInSource, {}, segment,
                                   Marking::Plain);
    } else {
        reportTag(findings, MessageId::UnknownExternalTag, segment.tagText(), segment);
    }
}

// Counts one source tag; a text seen for the first time is matched against the vocabulary.
TagMatch countSourceInternalTag(TagCountMap& tagCounts, std::string_view tag,
                                const Segment& segment, Findings& findings) {
    if (TagCount* known = tagCounts.find(tag)) {
        ++known->count;
        return {known->id, known->tagClass};
    }
    TagMatch match =
        classifyTag(tag).value_or(TagMatch{kUnknownInternalId, TagClass::UnknownInternal});
    if (match.id == kUnknownInternalId)
        reportTag(findings, MessageId::UnknownInternalTag, tag, segment);
    tagCounts.insert(tag, TagCount{1, false, match.id, match.tagClass});
    return match;
}

// Resolves an external tag written "<#...>" by the tag it would be without the "#".
void resolveMarkedTag(TagCountMap& tagCounts, Segment& segment, Findings& findings) {
    std::string unmarked = "<";
    unmarked += segment.tagText().substr(2);
    if (const TagCount* known = tagCounts.find(unmarked)) {
        if (std::find(kSilentlyAddableIds.begin(), kSilentlyAddableIds.end(), known->id) ==
            kSilentlyAddableIds.end()) {
            reportTag(findings, MessageId::AddedTagNotAllowed, segment.tagText(), segment);
        }
        segment.id = known->id;
        segment.tagClass = TagClass::AddedKnown;
    } else {
        reportTag(findings, MessageId::AddedTagNotAllowed, segment.tagText(), segment);
        segment.tagClass = TagClass::AddedUnknown;
    }
    segment.added = true;
}

void takeOffTargetExternalTag(TagCountMap& tagCounts, Segment& segment, Findings& findings) {
    if (segment.tagClass == TagClass::AddedMarked) {
        resolveMarkedTag(tagCounts, segment, findings);
    } else if (TagCount* known = tagCounts.find(segment.tagText())) {
        --known->count;
    } else {
        reportTag(findings, MessageId::InvalidExternalTag, segment.tagText(), segment);
    }
}

// Nothing is inserted for the target, so every occurrence of an invalid tag is reported.
TagMatch takeOffTargetInternalTag(TagCountMap& tagCounts, std::string_view tag,
                                  const Segment& segment, Findings& findings) {
    if (TagCount* known = tagCounts.find(tag)) {
        --known->count;
        return {known->id, known->tagClass};
    }
    if (isAcceptableNumberedTag(tag)) return {kNumberedTagId, TagClass::Alert};
    reportTag(findings, MessageId::InvalidInternalTag, tag, segment);
    return {kUnknownInternalId, TagClass::UnknownInternal};
}

// The tags of one segment: those of `tags` from `next` on that it owns. Moves `next` past them.
std::span<InternalTag> tagsOfSegment(std::span<InternalTag> tags, std::size_t& next,
                                     std::size_t position) {
    const std::size_t first = next;
    while (next < tags.size() && tags[next].externalTag == position) ++next;
    return tags.subspan(first, next - first);
}

void markTag(InternalTag& tag, TagMatch match) {
    tag.id = match.id;
    tag.tagClass = match.tagClass;
}

// Where a segment's internal tags may begin: after its own tag.
std::size_t tagsFrom(const Segment& segment) {
    return std::min(segment.tagText().size(), segment.text.size());
}

}  // namespace

void classifyExternalTags(std::vector<Segment>& segments, Side side, Findings& findings,
                          int& addedTagCount) {
    if (side == Side::Target) {
        addedTagCount += classifyTargetExternalTags(segments);
        return;
    }
    for (Segment& segment : segments) classifySourceSegment(segment, findings);
}

int classifyTargetExternalTags(std::vector<Segment>& segments) {
    int addedTagCount = 0;
    for (Segment& segment : segments) {
        if (auto match = classifyTag(segment.tagText())) {
            segment.id = match->id;
            segment.tagClass = match->tagClass;
        }
        if (segment.tagClass == TagClass::UnknownExternal && isMarkedAsAdded(segment.tagText())) {
            segment.tagClass = TagClass::AddedMarked;
            ++addedTagCount;
        }
    }
    return addedTagCount;
}

void extractInternalTags(const std::vector<Segment>& segments,
                         std::vector<InternalTag>& internalTags) {
    // Positions are kept in 32 bits; so many segments would not fit in memory anyway.
    if (segments.size() > UINT32_MAX) throw std::bad_alloc();
    for (std::size_t position = 0; position < segments.size(); ++position) {
        const Segment& segment = segments[position];
        walkBrackets(segment.text, tagsFrom(segment), [&](std::string_view text) {
            internalTags.push_back(internalTagAt(position, segment, text));
        });
    }
}

void countSourceTags(TagCountMap& tagCounts, const std::vector<Segment>& segments,
                     std::span<InternalTag> internalTags, Findings& findings) {
    std::size_t next = 0;
    for (std::size_t position = 0; position < segments.size(); ++position) {
        const Segment& segment = segments[position];
        if (TagCount* known = tagCounts.find(segment.tagText())) {
            ++known->count;
        } else {
            tagCounts.insert(segment.tagText(), TagCount{1, true, segment.id, segment.tagClass});
        }
        for (InternalTag& tag : tagsOfSegment(internalTags, next, position)) {
            markTag(tag,
                    countSourceInternalTag(tagCounts, textOf(segments, tag), segment, findings));
        }
    }
}

void countTargetTags(TagCountMap& tagCounts, std::vector<Segment>& segments,
                     std::span<InternalTag> internalTags, Findings& findings) {
    std::size_t next = 0;
    for (std::size_t position = 0; position < segments.size(); ++position) {
        Segment& segment = segments[position];
        takeOffTargetExternalTag(tagCounts, segment, findings);
        for (InternalTag& tag : tagsOfSegment(internalTags, next, position)) {
            markTag(tag,
                    takeOffTargetInternalTag(tagCounts, textOf(segments, tag), segment, findings));
        }
    }
}

void checkSourceValidity(TagCountMap& tagCounts, const std::vector<Segment>& segments,
                         std::vector<InternalTag>& internalTags, Findings& findings) {
    const std::size_t first = internalTags.size();
    extractInternalTags(segments, internalTags);
    countSourceTags(tagCounts, segments, std::span(internalTags).subspan(first), findings);
}

void detail::checkTargetValidity(TagCountMap& tagCounts, std::vector<Segment>& segments,
                                 std::vector<InternalTag>& internalTags, Findings& findings) {
    const std::size_t first = internalTags.size();
    extractInternalTags(segments, internalTags);
    countTargetTags(tagCounts, segments, std::span(internalTags).subspan(first), findings);
}

}  // namespace brevo
