#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brevo {

// Classes decide the severity of a deleted or added tag and mark unknown and added tags.
struct TagClass {
    static constexpr std::int32_t Formatting = 0;
    static constexpr std::int32_t Warning = 1;
    static constexpr std::int32_t Alert = 2;
    static constexpr std::int32_t Error = 3;
    static constexpr std::int32_t UnknownExternal = 4;
    static constexpr std::int32_t UnknownInternal = 5;
    static constexpr std::int32_t AddedKnown = 6;
    static constexpr std::int32_t AddedMarked = 7;
    static constexpr std::int32_t AddedUnknown = 8;
};

inline constexpr std::int32_t kUnknownInternalId = 122;
inline constexpr std::int32_t kUnknownExternalId = 123;
inline constexpr std::int32_t kNumberedTagId = 77;

struct TagInfo {
    std::string_view text;  // a prefix; a trailing blank or quote belongs to it
    std::int32_t id;
    std::int32_t tagClass;
    std::int32_t length;
};

// The 118 entries in matching order; the catch-alls "<:" and "<" come last.
std::span<const TagInfo> vocabulary();

struct TagMatch {
    std::int32_t id;
    std::int32_t tagClass;
};

// First entry whose text begins `tag`; nothing only for a text that is not a tag at all.
std::optional<TagMatch> classifyTag(std::string_view tag);

struct TagCount {
    std::int32_t count = 0;  // source occurrences minus target occurrences
    bool isExternal = false;
    std::int32_t id = 0;
    std::int32_t tagClass = 0;
};

// Tag text -> count, visited in insertion order (the pre-filled entries first, then tags in
// order of first appearance). Lookups probe a flat open-addressing table: every tag of both
// files is looked up, so this is one of the hottest paths of a run.
class TagCountMap {
public:
    struct Entry {
        std::string text;
        TagCount value;
    };

    TagCount* find(std::string_view text);
    // Inserts a new entry; the text must not be a key yet.
    TagCount& insert(std::string text, const TagCount& value);

    std::size_t size() const { return entries_.size(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    struct Slot {
        std::uint32_t entry = 0;  // position in entries_ plus one; 0 for an empty slot
        std::uint32_t check = 0;  // high half of the hash, to skip most text comparisons
    };

    static std::uint64_t hashOf(std::string_view text);
    // The slot holding `text`, or the empty slot where it belongs.
    std::size_t slotOf(std::string_view text, std::uint64_t hash) const;
    void grow();

    std::deque<Entry> entries_;  // stable addresses for the counts handed out
    std::vector<Slot> slots_;    // a power of two in size
};

// The 37 entries every map starts with, so that these tags are always valid in a target.
void prefillTagCounts(TagCountMap& map);

}  // namespace brevo
