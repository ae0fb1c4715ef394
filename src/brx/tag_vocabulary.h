#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brevo {

// Classes decide the severity of a deleted or added tag and mark unknown and added tags.
enum class TagClass : std::int8_t {
    Formatting = 0,  // comes and goes freely
    Warning = 1,
    Alert = 2,
    Error = 3,
    UnknownExternal = 4,
    UnknownInternal = 5,
    // The ways of being added in a translation, where a tag is written "<#...>":
    AddedKnown = 6,    // for a tag of the vocabulary
    AddedMarked = 7,   // not yet resolved against the source's tags
    AddedUnknown = 8,  // for a tag the vocabulary does not know
};

// A tag written "<#...>" in a translation and resolved: never paired, never counted.
constexpr bool isAddedSyntax(TagClass tagClass) {
    return tagClass == TagClass::AddedKnown || tagClass == TagClass::AddedUnknown;
}

// The classes whose tags have a severity of their own when deleted or added.
constexpr bool hasSeverity(TagClass tagClass) {
    return tagClass == TagClass::Warning || tagClass == TagClass::Alert ||
           tagClass == TagClass::Error;
}

// A tag's number in the vocabulary; a file's many records keep it small.
using TagId = std::int16_t;

inline constexpr TagId kUnknownInternalId = 122;
inline constexpr TagId kUnknownExternalId = 123;
inline constexpr TagId kNumberedTagId = 77;

struct TagInfo {
    std::string_view text;  // a prefix; a trailing blank or quote belongs to it
    TagId id;
    TagClass tagClass;
    std::int32_t length;
};

// The 118 entries in matching order; the catch-alls "<:" and "<" come last.
std::span<const TagInfo> vocabulary();

struct TagMatch {
    TagId id;
    TagClass tagClass;
};

// First entry whose text begins `tag`; nothing only for a text that is not a tag at all.
std::optional<TagMatch> classifyTag(std::string_view tag);

struct TagCount {
    std::int32_t count = 0;  // source occurrences minus target occurrences
    bool isExternal = false;
    TagId id = 0;
    TagClass tagClass = TagClass::Formatting;
};

// Tag text -> count, visited in insertion order (the pre-filled entries first, then tags in
// order of first appearance). Lookups probe a flat open-addressing table: every tag of both
// files is looked up, so this is one of the hottest paths of a run. The map keeps its texts end
// to end in one string and refers to them by offset, so that a copy needs no fixing up: a batch
// starts every pair from a copy of the prefilled map.
class TagCountMap {
public:
    struct Entry {
        std::string_view text;
        TagCount value;
    };

    class Iterator {
    public:
        Iterator(const TagCountMap& map, std::size_t entry) : map_(&map), entry_(entry) {}
        struct Arrow {
            Entry entry;
            const Entry* operator->() const { return &entry; }
        };

        Entry operator*() const { return map_->entryAt(entry_); }
        Arrow operator->() const { return {**this}; }
        Iterator& operator++() {
            ++entry_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return entry_ == other.entry_; }

    private:
        const TagCountMap* map_;
        std::size_t entry_;
    };

    TagCountMap() = default;
    // A copy keeps the room for texts reserved in the map it copies.
    TagCountMap(const TagCountMap& other);
    TagCountMap& operator=(const TagCountMap& other);
    TagCountMap(TagCountMap&&) = default;
    TagCountMap& operator=(TagCountMap&&) = default;

    // Room for `entries` entries before the table grows.
    void reserve(std::size_t entries);

    TagCount* find(std::string_view text);
    // Inserts a new entry with a copy of `text`, which must not be a key yet.
    TagCount& insert(std::string_view text, const TagCount& value);

    std::size_t size() const { return size_; }
    Iterator begin() const { return {*this, 0}; }
    Iterator end() const { return {*this, size_}; }

private:
    struct Record {
        std::uint32_t offset;  // of the text in texts_
        std::uint32_t size;
        std::uint32_t slot;  // where the table holds it, so that a copy finds its slots fast
        TagCount value;
    };
    // A slot holds what a lookup needs, so that a probe stays in the table.
    struct Slot {
        TagCount* value = nullptr;  // in its record
        std::uint32_t record = 0;   // position in the records plus one; 0 for an empty slot
        std::uint32_t check = 0;    // low half of the hash, to skip most text comparisons
        std::uint32_t offset = 0;   // of the record's text
        std::uint32_t size = 0;
    };
    // Records lie in chunks whose room is reserved once, so that they never move.
    static constexpr std::size_t kChunkBits = 8;
    static constexpr std::size_t kChunkSize = std::size_t{1} << kChunkBits;

    static std::uint64_t hashOf(std::string_view text);
    const Record& recordAt(std::size_t record) const {
        return chunks_[record >> kChunkBits][record & (kChunkSize - 1)];
    }
    Record& recordAt(std::size_t record) {
        return chunks_[record >> kChunkBits][record & (kChunkSize - 1)];
    }
    Entry entryAt(std::size_t record) const {
        const Record& found = recordAt(record);
        return {std::string_view(texts_).substr(found.offset, found.size), found.value};
    }
    // The slot holding `text`, or the empty slot where it belongs.
    std::size_t slotOf(std::string_view text, std::uint64_t hash) const;
    void grow();

    std::string texts_;
    std::vector<std::vector<Record>> chunks_;
    std::size_t size_ = 0;
    std::vector<Slot> slots_;  // a power of two in size
    int slotBits_ = 0;         // its logarithm, while it is not empty
};

// The 37 entries every map starts with, so that these tags are always valid in a target.
void prefillTagCounts(TagCountMap& map);
// A map with those entries alone, made once: a batch starts a map for every pair.
const TagCountMap& prefilledTagCounts();

}  // namespace brevo
