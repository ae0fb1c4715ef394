#include "verify/external_comparison.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "base/short_text.h"

namespace brevo {
namespace {

using Segments = std::vector<Segment>;

constexpr int kGiveUpAfterChanges = 16;

bool isAddedSyntax(const Segment& segment) {
    return isAddedSyntax(segment.tagClass);
}

std::size_t skipAddedSyntax(const Segments& target, std::size_t position) {
    while (position < target.size() && isAddedSyntax(target[position])) ++position;
    return position;
}

long long asNumber(std::size_t value) {
    return static_cast<long long>(value);
}

std::string countLine(const TagCountMap::Entry& entry) {
    const TagCount& tag = entry.value;
    if (tag.count < 0) {
        return formatMessage(MessageId::ExternalTagsAddedCount,
                             {static_cast<long long>(-tag.count), entry.text});
    }
    return formatMessage(hasSeverity(tag.tagClass) ? MessageId::ExternalTagsDeletedCount
                                                   : MessageId::UnknownExternalTagsDeletedCount,
                         {static_cast<long long>(tag.count), entry.text});
}

// Searches a look-ahead window one segment at a time.
class ScanLookAhead {
public:
    ScanLookAhead(const Segments& source, const Segments& target)
        : source_(source), target_(target) {}

    // The first of the `window` source segments after `s` whose tag is target segment `t`'s.
    std::optional<std::size_t> findInSource(std::size_t s, std::size_t t,
                                            std::size_t window) const {
        const std::string_view wanted = target_[t].tagText();
        for (std::size_t j = 0; j < window && s + j + 1 < source_.size(); ++j) {
            if (source_[s + j + 1].tagText() == wanted) return s + j + 1;
        }
        return std::nullopt;
    }

    // The first of the next `window` target segments after `t`, "<#...>" ones not counted,
    // whose tag is source segment `s`'s.
    std::optional<std::size_t> findInTarget(std::size_t t, std::size_t s,
                                            std::size_t window) const {
        const std::string_view wanted = source_[s].tagText();
        std::size_t candidate = t;
        for (std::size_t j = 0; j < window; ++j) {
            candidate = skipAddedSyntax(target_, candidate + 1);
            if (candidate == target_.size()) break;
            if (target_[candidate].tagText() == wanted) return candidate;
        }
        return std::nullopt;
    }

private:
    const Segments& source_;
    const Segments& target_;
};

// Positions, ranks and keys of a file's segments, in 32 bits as an internal tag holds the
// position of its segment: the indexes take half the memory of full-width ones.
using Index = std::uint32_t;

Index narrow(std::size_t value) {
    return static_cast<Index>(value);
}

// A number for each distinct tag text, from 0 in the order they are first met. Every segment
// of both files is looked up, so the table is open and flat, and texts are hashed and compared
// a word at a time.
class TextKeys {
public:
    Index keyOf(std::string_view text) {
        if (2 * (count_ + 1) > slots_.size()) grow();
        const std::uint64_t hash = shortText::hash(text.data(), text.size());
        const auto check = static_cast<std::uint32_t>(hash);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = static_cast<std::size_t>(hash >> 32) & mask;; at = (at + 1) & mask) {
            Slot& slot = slots_[at];
            if (slot.key == kEmpty) {
                slot = {text, check, narrow(count_++)};
                return slot.key;
            }
            if (slot.check == check && sameShortText(slot.text, text)) return slot.key;
        }
    }
    std::size_t size() const { return count_; }

private:
    static constexpr Index kEmpty = std::numeric_limits<Index>::max();
    struct Slot {
        std::string_view text;
        std::uint32_t check = 0;  // low half of the hash, to skip most comparisons
        Index key = kEmpty;
    };

    void grow() {
        std::vector<Slot> old =
            std::exchange(slots_, std::vector<Slot>(std::max<std::size_t>(64, 2 * slots_.size())));
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.key == kEmpty) continue;
            const std::uint64_t hash = shortText::hash(slot.text.data(), slot.text.size());
            std::size_t at = static_cast<std::size_t>(hash >> 32) & mask;
            while (slots_[at].key != kEmpty) at = (at + 1) & mask;
            slots_[at] = slot;
        }
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

// Ascending values grouped by key, stored flat.
class Postings {
public:
    // Groups the indices of `keys` by their key; every key is below `keyCount`.
    Postings(const std::vector<Index>& keys, std::size_t keyCount)
        : starts_(keyCount + 1, 0), values_(keys.size()) {
        for (Index key : keys) ++starts_[key + 1];
        for (std::size_t key = 0; key < keyCount; ++key) starts_[key + 1] += starts_[key];
        std::vector<Index> next(starts_.begin(), starts_.end() - 1);
        for (std::size_t index = 0; index < keys.size(); ++index) {
            values_[next[keys[index]]++] = narrow(index);
        }
    }

    // The first value above `after` and at most `after` + `window`, if the key has one.
    std::optional<std::size_t> firstWithin(std::size_t key, std::size_t after,
                                           std::size_t window) const {
        const std::span<const Index> group(values_.data() + starts_[key],
                                           values_.data() + starts_[key + 1]);
        const auto found = std::upper_bound(
            group.begin(), group.end(), after,
            [](std::size_t value, Index element) { return value < std::size_t{element}; });
        if (found == group.end() || *found - after > window) return std::nullopt;
        return *found;
    }

private:
    std::vector<Index> starts_;
    std::vector<Index> values_;
};

// Finds the same segments as ScanLookAhead by binary search in the positions of each tag
// text, so that wide windows cost no more than narrow ones.
class IndexedLookAhead {
public:
    IndexedLookAhead(const Segments& source, const Segments& target)
        : sourceKeys_(keysOf(source, nullptr)),
          rankedTargetKeys_(keysOf(target, &positionOfRank_)),
          targetRanks_(target.size(), 0),
          sourcePositions_(sourceKeys_, keysByText_.size()),
          targetPositions_(rankedTargetKeys_, keysByText_.size()) {
        for (std::size_t rank = 0; rank < positionOfRank_.size(); ++rank) {
            targetRanks_[positionOfRank_[rank]] = narrow(rank);
        }
    }

    std::optional<std::size_t> findInSource(std::size_t s, std::size_t t,
                                            std::size_t window) const {
        const std::size_t rank = targetRanks_[t];
        return sourcePositions_.firstWithin(rankedTargetKeys_[rank], s, window);
    }

    std::optional<std::size_t> findInTarget(std::size_t t, std::size_t s,
                                            std::size_t window) const {
        const auto rank = targetPositions_.firstWithin(sourceKeys_[s], targetRanks_[t], window);
        if (!rank) return std::nullopt;
        return positionOfRank_[*rank];
    }

private:
    // One key per distinct tag text, shared by both lists; "<#...>" segments get none and,
    // when `positions` is given, the positions of the others are collected in it.
    std::vector<Index> keysOf(const Segments& segments, std::vector<Index>* positions) {
        std::vector<Index> keys;
        keys.reserve(segments.size());
        if (positions) positions->reserve(segments.size());
        for (std::size_t position = 0; position < segments.size(); ++position) {
            if (positions && isAddedSyntax(segments[position])) continue;
            keys.push_back(keysByText_.keyOf(segments[position].tagText()));
            if (positions) positions->push_back(narrow(position));
        }
        return keys;
    }

    TextKeys keysByText_;
    std::vector<Index> positionOfRank_;  // target positions of the counted segments
    std::vector<Index> sourceKeys_;
    std::vector<Index> rankedTargetKeys_;  // keys of the counted target segments
    std::vector<Index> targetRanks_;       // counted segments before each target position
    Postings sourcePositions_;
    Postings targetPositions_;  // ranks of the counted target segments
};

// Walks both lists in step. Where the tags differ, the side with surplus tags is searched
// within a window as wide as its surplus; what is found is taken as deleted or added, and
// anything else as changed.
template <class LookAhead>
class Alignment {
public:
    Alignment(Segments& source, Segments& target, Findings& findings)
        : source_(source), target_(target), findings_(findings) {}

    void run() {
        const std::size_t countedTarget =
            target_.size() -
            static_cast<std::size_t>(std::count_if(target_.begin(), target_.end(), isAddedSyntax));
        diff_ = static_cast<std::ptrdiff_t>(source_.size()) -
                static_cast<std::ptrdiff_t>(countedTarget);
        if (diff_ != 0) reportSurplus(countedTarget);
        const std::size_t limit = std::min(source_.size(), countedTarget);
        if (limit > 0) walk(limit);
        finishLists();
    }

private:
    void reportSurplus(std::size_t countedTarget) {
        findings_.note(formatMessage(MessageId::ExternalTagTotals,
                                     {asNumber(source_.size()), asNumber(countedTarget)}));
        findings_.note(formatMessage(MessageId::AddedSyntaxNotCounted));
        if (diff_ > 0) {
            findings_.note(
                formatMessage(MessageId::AssumingDeleted, {static_cast<long long>(diff_)}));
        } else {
            findings_.note(
                formatMessage(MessageId::AssumingAdded, {static_cast<long long>(-diff_)}));
        }
    }

    void walk(std::size_t limit) {
        std::size_t cycles = 0;
        for (;;) {
            if (changedRun_ >= kGiveUpAfterChanges && diff_ == 0) {
                findings_.note(formatMessage(MessageId::NotFullyComparedNote));
                findings_.note(formatMessage(MessageId::OrderChangedNote));
                return;
            }
            if (sameShortText(source_[s_].tagText(), target_[t_].tagText())) {
                changedRun_ = 0;
            } else if (isAddedSyntax(target_[t_])) {
                t_ = skipAddedSyntax(target_, t_);
                continue;
            } else if (!takeDeleted() && !takeAdded()) {
                reportChanged();
            }
            ++cycles;
            ++s_;
            ++t_;
            if (cycles == limit) return;
            t_ = skipAddedSyntax(target_, t_);
        }
    }

    // Source segments before the one that matches T are taken as deleted.
    bool takeDeleted() {
        if (diff_ <= 0) return false;
        const auto match = lookAhead().findInSource(s_, t_, static_cast<std::size_t>(diff_));
        if (!match) return false;
        diff_ -= static_cast<std::ptrdiff_t>(*match - s_);
        for (std::size_t deleted = s_; deleted < *match; ++deleted) {
            source_[deleted].added = true;
            reportDeleted(deleted, t_);
            reportContext(deleted, Context::WithNext, t_, Context::Alone);
        }
        s_ = *match;
        return true;
    }

    // Target segments before the one that matches S are taken as illegally added.
    bool takeAdded() {
        if (diff_ >= 0) return false;
        const auto match = lookAhead().findInTarget(t_, s_, static_cast<std::size_t>(-diff_));
        if (!match) return false;
        for (std::size_t added = t_; added < *match; ++added) {
            if (isAddedSyntax(target_[added])) continue;
            ++diff_;
            target_[added].added = true;
            reportIllegallyAdded(added, s_);
            reportContext(s_, Context::Alone, added, Context::WithNext);
        }
        t_ = *match;
        return true;
    }

    void reportChanged() {
        ++changedRun_;
        source_[s_].added = true;
        target_[t_].added = true;
        findings_.report(Severity::Alert, MessageId::ExternalTagChanged,
                         {source_[s_].tagText(), target_[t_].tagText()},
                         {SegmentRef{Side::Source, s_}, SegmentRef{Side::Target, t_}});
        reportContext(s_, Context::WithNext, t_, Context::WithNext);
    }

    // `t` is the target segment that stands where the deleted one would be.
    void reportDeleted(std::size_t s, std::size_t t) {
        switch (source_[s].tagClass) {
            case TagClass::Warning:
                return report(Severity::Warning, MessageId::ExternalTagDeletedWarning, Side::Source,
                              s, t);
            case TagClass::Alert:
                return report(Severity::Alert, MessageId::ExternalTagDeletedAlert, Side::Source, s,
                              t);
            case TagClass::Error:
                return report(Severity::Error, MessageId::ExternalTagDeletedError, Side::Source, s,
                              t);
            default:
                return report(Severity::Error, MessageId::UnknownExternalTagDeleted, Side::Source,
                              s, t);
        }
    }

    // `s` is the source segment that stands where the added one is.
    void reportIllegallyAdded(std::size_t t, std::size_t s) {
        report(Severity::Error, MessageId::ExternalTagIllegallyAdded, Side::Target, t, s);
    }

    // Placed at the tag in its file and at the segment that stands in its place in the other.
    void report(Severity severity, MessageId id, Side side, std::size_t position,
                std::size_t otherPosition) {
        const Segment& segment = (side == Side::Source ? source_ : target_)[position];
        const Side other = side == Side::Source ? Side::Target : Side::Source;
        SegmentRefs place{SegmentRef{side, position}};
        if (otherPosition < (other == Side::Source ? source_ : target_).size()) {
            place.push_back(SegmentRef{other, otherPosition});
        }
        findings_.report(severity, id, {segment.tagText()}, std::move(place));
    }

    LookAhead& lookAhead() {
        if (!lookAhead_) lookAhead_.emplace(source_, target_);
        return *lookAhead_;
    }

    // Whatever is left of one list once the shorter one is used up; no context blocks.
    void finishLists() {
        const bool sourceLeft = s_ < source_.size();
        const bool targetLeft = t_ < target_.size();
        // What is left over stands at the end of the other file.
        if (targetLeft && !sourceLeft) {
            findings_.note(formatMessage(MessageId::AddedAtEnd));
            for (std::size_t rest = t_; rest < target_.size(); ++rest) {
                if (!isAddedSyntax(target_[rest])) reportIllegallyAdded(rest, source_.size() - 1);
                target_[rest].added = true;
            }
        } else if (sourceLeft && !targetLeft) {
            findings_.note(formatMessage(MessageId::DeletedAtEnd));
            for (std::size_t rest = s_; rest < source_.size(); ++rest) {
                reportDeleted(rest, target_.size() - 1);
                source_[rest].added = true;
            }
        }
    }

    // The segment's text with its neighbour before and, if asked, after it in the same list,
    // gathered in `joined`, which is kept from one report to the next.
    // How much of a list frames a segment: its neighbour before it, and maybe the one after.
    enum class Context { Alone, WithNext };

    static std::string_view around(std::string& joined, const Segments& list, std::size_t position,
                                   Context context) {
        const bool withNext = context == Context::WithNext;
        const std::size_t first = position == 0 ? 0 : position - 1;
        const std::size_t last = std::min(list.size(), position + (withNext ? 2 : 1));
        joined.clear();
        for (std::size_t i = first; i < last; ++i) joined += list[i].text;
        return joined;
    }

    void reportContext(std::size_t source, Context sourceContext, std::size_t target,
                       Context targetContext) {
        findings_.writer().writeSourceAndTargetFrame(
            around(sourceContext_, source_, source, sourceContext),
            around(targetContext_, target_, target, targetContext));
    }

    Segments& source_;
    Segments& target_;
    Findings& findings_;
    std::optional<LookAhead> lookAhead_;  // made at the first look-ahead; most pairs need none
    std::size_t s_ = 0;
    std::size_t t_ = 0;
    std::ptrdiff_t diff_ = 0;  // source tags minus counted target tags not yet accounted for
    int changedRun_ = 0;       // changes since the last exact match
    std::string sourceContext_;
    std::string targetContext_;
};

}  // namespace

void reportExternalTagCounts(const TagCountMap& tagCounts, Findings& findings) {
    for (const TagCountMap::Entry& entry : tagCounts) {
        if (!entry.value.isExternal || entry.value.count == 0) continue;
        findings.listUncounted(countLine(entry));
    }
}

void reportAddedExternalTags(const std::vector<Segment>& targetSegments, Findings& findings) {
    for (const Segment& segment : targetSegments) {
        if (!isAddedSyntax(segment)) continue;
        findings.reportWithSegment(Severity::Warning, MessageId::ExternalTagAdded,
                                   {segment.tagText()}, segment, Marking::Tags,
                                   ParagraphStyle::Target);
    }
}

void compareExternalTags(std::vector<Segment>& sourceSegments, std::vector<Segment>& targetSegments,
                         Findings& findings) {
    Alignment<IndexedLookAhead>(sourceSegments, targetSegments, findings).run();
}

namespace detail {

void compareExternalTagsByScan(std::vector<Segment>& sourceSegments,
                               std::vector<Segment>& targetSegments, Findings& findings) {
    Alignment<ScanLookAhead>(sourceSegments, targetSegments, findings).run();
}

}  // namespace detail

}  // namespace brevo
