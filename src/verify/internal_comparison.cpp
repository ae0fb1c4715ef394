#include "verify/internal_comparison.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/short_text.h"
#include "report/line_writer.h"

namespace brevo {
namespace {

enum class Change { Deleted, Added };

// The messages a tag class gets when one of its tags is deleted or added.
struct ChangeMessages {
    Severity severity;
    MessageId deleted;
    MessageId added;
    MessageId deletedSummary;
    MessageId addedSummary;
};

// Formatting tags may come and go freely.
std::optional<ChangeMessages> changeMessagesFor(TagClass tagClass) {
    using enum MessageId;
    switch (tagClass) {
        case TagClass::Formatting:
            return std::nullopt;
        case TagClass::Warning:
            return ChangeMessages{Severity::Warning, InternalTagDeletedWarning,
                                  InternalTagAddedWarning, InternalTagsDeletedCount,
                                  InternalTagsAddedCount};
        case TagClass::Alert:
            return ChangeMessages{Severity::Alert, InternalTagDeletedAlert, InternalTagAddedAlert,
                                  InternalTagsDeletedCount, InternalTagsAddedCount};
        case TagClass::Error:
            return ChangeMessages{Severity::Error, InternalTagDeletedError, InternalTagAddedError,
                                  InternalTagsDeletedCount, InternalTagsAddedCount};
        default:
            return ChangeMessages{Severity::Error, UnknownInternalTagDeleted,
                                  UnknownInternalTagAdded, UnknownInternalTagsDeletedCount,
                                  UnknownInternalTagsAddedCount};
    }
}

// A deleted tag is the source's, an added one the target's; each is placed at its own line,
// and in the other file at the segment paired with its own, when there is one.
void reportInternalChange(const BrxDocument& document, const InternalTag& tag, Change change,
                          Findings& findings,
                          std::optional<std::size_t> pairedPosition = std::nullopt) {
    const auto messages = changeMessagesFor(tag.tagClass);
    if (!messages) return;
    const bool deleted = change == Change::Deleted;
    const std::string_view text = textOf(document.segments, tag);
    SegmentRefs place{findings.refAt(deleted ? Side::Source : Side::Target, tag.externalTag, text)};
    if (pairedPosition) {
        place.push_back(findings.refAt(deleted ? Side::Target : Side::Source, *pairedPosition));
    }
    findings.report(messages->severity, deleted ? messages->deleted : messages->added, {text},
                    std::move(place));
}

// Positions of the segments that the external comparison paired, in order: the n-th one of
// each side has ordinal n.
std::vector<std::size_t> pairedSegmentPositions(const std::vector<Segment>& segments) {
    std::vector<std::size_t> positions;
    positions.reserve(segments.size());
    for (std::size_t position = 0; position < segments.size(); ++position) {
        if (!segments[position].added) positions.push_back(position);
    }
    return positions;
}

// The ordinal of the segment that owns `tag`.
std::int32_t ordinalOf(const BrxDocument& document, const InternalTag& tag) {
    return document.segments[tag.externalTag].ordinal;
}

bool ordinalsAscend(const BrxDocument& document) {
    const std::vector<InternalTag>& tags = document.internalTags;
    for (std::size_t i = 1; i < tags.size(); ++i) {
        if (ordinalOf(document, tags[i]) < ordinalOf(document, tags[i - 1])) return false;
    }
    return true;
}

// The first target tag from `mark` on, within pair `ordinal` of a source tag, that is free and
// has the source tag's text.
std::optional<std::size_t> scanForPartner(const BrxDocument& target, std::size_t mark,
                                          std::string_view sourceText, std::int32_t ordinal) {
    const std::vector<InternalTag>& targetTags = target.internalTags;
    for (std::size_t i = mark; i < targetTags.size() && ordinalOf(target, targetTags[i]) <= ordinal;
         ++i) {
        if (!targetTags[i].excluded &&
            sameShortText(textOf(target.segments, targetTags[i]), sourceText)) {
            return i;
        }
    }
    return std::nullopt;
}

// Finds a source tag's partner among the target tags of its pair. The pair's tags are scanned
// while they are few; a pair with many tags gets its tags chained by text, so that matching it
// stays linear. Relies on target ordinals that never decrease, as linking makes them: the mark
// then stands on the first tag of the source tag's pair, or past it.
class PartnerFinder {
public:
    explicit PartnerFinder(const BrxDocument& target)
        : target_(target), tags_(target.internalTags) {}

    // The partner of a source tag of pair `ordinal` with text `sourceText`.
    std::optional<std::size_t> find(std::string_view sourceText, std::int32_t ordinal,
                                    std::size_t mark) {
        if (ordinalOf(target_, tags_[mark]) != ordinal) return std::nullopt;
        if (mark != pairStart_) enterPair(mark);
        if (heads_.empty()) return scanForPartner(target_, mark, sourceText, ordinal);
        const auto head = heads_.find(sourceText);
        if (head == heads_.end()) return std::nullopt;
        // A taken tag never becomes free again, so it leaves the chain for good.
        std::size_t& first = head->second;
        while (first != kNone && tags_[first].excluded) first = nextSame_[first - pairStart_];
        if (first == kNone) return std::nullopt;
        return first;
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    static constexpr std::size_t kScanLimit = 16;

    void enterPair(std::size_t start) {
        pairStart_ = start;
        // Clearing costs the size of the table, so only a crowded pair before pays for it.
        if (!heads_.empty()) heads_ = {};
        std::size_t end = start;
        const std::int32_t ordinal = ordinalOf(target_, tags_[start]);
        while (end < tags_.size() && ordinalOf(target_, tags_[end]) == ordinal) ++end;
        if (end - start <= kScanLimit) return;
        nextSame_.assign(end - start, kNone);
        for (std::size_t i = end; i-- > start;) {
            auto [head, inserted] = heads_.try_emplace(textOf(target_.segments, tags_[i]), i);
            if (!inserted) {
                nextSame_[i - start] = head->second;
                head->second = i;
            }
        }
    }

    const BrxDocument& target_;
    const std::vector<InternalTag>& tags_;
    std::size_t pairStart_ = kNone;
    std::unordered_map<std::string_view, std::size_t> heads_;  // empty for a pair to scan
    std::vector<std::size_t> nextSame_;                        // by position in the pair
};

// Matches the tags of each segment pair by text; what is left over is reported, the messages of
// one pair followed by one block with its two segments.
class PairComparison {
public:
    PairComparison(BrxDocument& source, BrxDocument& target, Findings& findings,
                   detail::PartnerSearch search)
        : source_(source), target_(target), findings_(findings) {
        if (search == detail::PartnerSearch::Indexed && ordinalsAscend(target)) {
            finder_.emplace(target);
        }
    }

    void run() {
        if (source_.internalTags.empty()) {
            if (!target_.internalTags.empty()) reportAll(target_.internalTags, Change::Added);
            return;
        }
        if (target_.internalTags.empty()) {
            reportAll(source_.internalTags, Change::Deleted);
            return;
        }
        compareInOrder();
        if (reportedAny_ && lastOrdinal_ > 0) writeOrdinalBlock(lastOrdinal_);
    }

private:
    void reportAll(const std::vector<InternalTag>& tags, Change change) {
        findings_.note(formatMessage(change == Change::Added ? MessageId::AllInternalTagsAdded
                                                             : MessageId::AllInternalTagsDeleted));
        const BrxDocument& document = change == Change::Added ? target_ : source_;
        for (const InternalTag& tag : tags) {
            reportInternalChange(document, tag, change, findings_,
                                 pairedInOtherFile(ordinalOf(document, tag), change));
        }
    }

    void compareInOrder() {
        std::vector<InternalTag>& sourceTags = source_.internalTags;
        for (std::size_t s = 0; s < sourceTags.size(); ++s) {
            InternalTag& sourceTag = sourceTags[s];
            if (sourceTag.excluded) continue;
            const std::int32_t ordinal = ordinalOf(source_, sourceTag);
            if (!reachPair(ordinal)) {
                reportRemaining(source_, s, Change::Deleted);
                return;
            }
            if (const auto partner = findPartner(sourceTag, ordinal)) {
                sourceTag.excluded = true;
                target_.internalTags[*partner].excluded = true;
            } else {
                report(sourceTag, ordinal, Change::Deleted);
            }
        }
        reportRemaining(target_, mark_, Change::Added);
    }

    // Moves the mark to the first target tag of pair `ordinal` or a later one; the free tags it
    // passes were added. False when the target tags run out on the way.
    bool reachPair(std::int32_t ordinal) {
        std::vector<InternalTag>& targetTags = target_.internalTags;
        while (ordinalOf(target_, targetTags[mark_]) < ordinal) {
            if (!targetTags[mark_].excluded) {
                report(targetTags[mark_], ordinalOf(target_, targetTags[mark_]), Change::Added);
            }
            if (++mark_ == targetTags.size()) return false;
        }
        return true;
    }

    std::optional<std::size_t> findPartner(const InternalTag& sourceTag, std::int32_t ordinal) {
        const std::string_view text = textOf(source_.segments, sourceTag);
        if (finder_) return finder_->find(text, ordinal, mark_);
        return scanForPartner(target_, mark_, text, ordinal);
    }

    void reportRemaining(BrxDocument& document, std::size_t from, Change change) {
        std::vector<InternalTag>& tags = document.internalTags;
        for (std::size_t i = from; i < tags.size(); ++i) {
            if (!tags[i].excluded) report(tags[i], ordinalOf(document, tags[i]), change);
        }
    }

    // A tag of pair `ordinal` left without a partner.
    void report(InternalTag& tag, std::int32_t ordinal, Change change) {
        if (lastOrdinal_ > 0 && lastOrdinal_ != ordinal) writeOrdinalBlock(lastOrdinal_);
        reportInternalChange(change == Change::Deleted ? source_ : target_, tag, change, findings_,
                             pairedInOtherFile(ordinal, change));
        lastOrdinal_ = ordinal;
        tag.excluded = true;
        reportedAny_ = true;
    }

    void knowPairedPositions() {
        if (pairedPositionsKnown_) return;
        pairedSource_ = pairedSegmentPositions(source_.segments);
        pairedTarget_ = pairedSegmentPositions(target_.segments);
        pairedPositionsKnown_ = true;
    }

    // The segment of the other file that the external comparison paired with pair `ordinal`.
    std::optional<std::size_t> pairedInOtherFile(std::int32_t ordinal, Change change) {
        knowPairedPositions();
        const std::vector<std::size_t>& other =
            change == Change::Deleted ? pairedTarget_ : pairedSource_;
        if (ordinal < 1 || static_cast<std::size_t>(ordinal) > other.size()) return std::nullopt;
        return other[static_cast<std::size_t>(ordinal) - 1];
    }

    void writeOrdinalBlock(std::int32_t ordinal) {
        knowPairedPositions();
        const auto n = static_cast<std::size_t>(ordinal);
        std::optional<std::string_view> sourceText;
        std::optional<std::string_view> targetText;
        if (n <= pairedSource_.size()) sourceText = source_.segments[pairedSource_[n - 1]].text;
        if (n <= pairedTarget_.size()) targetText = target_.segments[pairedTarget_[n - 1]].text;
        findings_.writer().writeSourceAndTargetFrame(sourceText, targetText);
    }

    BrxDocument& source_;
    BrxDocument& target_;
    Findings& findings_;
    std::optional<PartnerFinder> finder_;
    std::size_t mark_ = 0;
    std::int32_t lastOrdinal_ = 0;
    bool reportedAny_ = false;
    bool pairedPositionsKnown_ = false;
    std::vector<std::size_t> pairedSource_;
    std::vector<std::size_t> pairedTarget_;
};

// Every internal tag of a segment added with "<#...>" is new, whatever the pairing did.
void reportTagsInAddedSegments(const BrxDocument& target, Findings& findings) {
    const std::vector<InternalTag>& tags = target.internalTags;
    for (std::size_t first = 0; first < tags.size();) {
        const std::size_t owner = tags[first].externalTag;
        std::size_t end = first;
        while (end < tags.size() && tags[end].externalTag == owner) ++end;
        if (owner < target.segments.size() && isAddedSyntax(target.segments[owner].tagClass)) {
            bool anyReported = false;
            for (std::size_t i = first; i < end; ++i) {
                reportInternalChange(target, tags[i], Change::Added, findings);
                anyReported = anyReported || tags[i].tagClass != TagClass::Formatting;
            }
            if (anyReported) {
                findings.writer().writeSegmentFrame(target.segments[owner].text, Marking::Tags,
                                                    ParagraphStyle::Target);
            }
        }
        first = end;
    }
}

}  // namespace

void reportInternalTagCounts(const TagCountMap& tagCounts, Findings& findings) {
    for (const TagCountMap::Entry& entry : tagCounts) {
        const TagCount& value = entry.value;
        if (value.isExternal || value.count == 0) continue;
        const auto messages = changeMessagesFor(value.tagClass);
        if (!messages) continue;
        const bool deleted = value.count > 0;
        const long long occurrences = deleted ? value.count : -static_cast<long long>(value.count);
        findings.listUncounted(
            formatMessage(deleted ? messages->deletedSummary : messages->addedSummary,
                          {occurrences, std::string_view(entry.text)}));
    }
}

void detail::compareInternalTagPairs(BrxDocument& source, BrxDocument& target, Findings& findings,
                                     PartnerSearch search) {
    PairComparison(source, target, findings, search).run();
}

void compareInternalTags(BrxDocument& source, BrxDocument& target, Findings& findings) {
    detail::compareInternalTagPairs(source, target, findings, detail::PartnerSearch::Indexed);
    reportTagsInAddedSegments(target, findings);
}

}  // namespace brevo
