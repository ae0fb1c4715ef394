#include "brx/tag_vocabulary.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <new>
#include <vector>

#include "base/short_text.h"

namespace brevo {
namespace {

// Text, id, class and length, as the table has always been written.
struct TagRow {
    std::string_view text;
    TagId id;
    std::int16_t tagClass;
    std::int32_t length;
};

constexpr std::array<TagRow, 118> kRows = {{
    {"<brx ", 35, 3, 5},         {"</brx>", 36, 3, 6},
    {"<page \"", 8, 3, 7},       {"</page>", 9, 3, 7},
    {"<file \"", 72, 3, 7},      {"</file \"", 73, 3, 8},
    {"<language \"", 11, 3, 11}, {"<quotes \"", 13, 3, 9},
    {"<readonly \"", 14, 3, 11}, {"<ps \"", 0, 1, 5},
    {"<pn \"", 1, 1, 5},         {"<xrv \"", 2, 3, 6},
    {"</xrv>", 3, 3, 6},         {"<r \"", 54, 3, 4},
    {"<v \"", 55, 3, 4},         {"<af ", 18, 3, 4},
    {"</af>", 19, 3, 5},         {"<tr ", 4, 3, 4},
    {"</tr>", 5, 3, 5},          {"<ts ", 6, 3, 4},
    {"</ts>", 7, 3, 5},          {"<tl ", 15, 3, 4},
    {"</tl>", 16, 3, 5},         {"<tn ", 17, 3, 4},
    {"<fn ", 23, 3, 4},          {"</fn>", 24, 3, 5},
    {"<imk", 29, 2, 4},          {"<ie>", 31, 2, 4},
    {"<il>", 32, 2, 4},          {"<ss>", 33, 2, 4},
    {"<sa>", 34, 2, 4},          {"</imk>", 30, 2, 6},
    {"<tb ", 37, 3, 4},          {"</tb>", 38, 3, 5},
    {"<row ", 47, 3, 5},         {"</row>", 48, 3, 6},
    {"<hrow ", 49, 3, 6},        {"<rrow \"", 50, 3, 7},
    {"<ct ", 51, 3, 4},          {"</ct>", 52, 3, 5},
    {"<ctart ", 25, 3, 7},       {"</ctart>", 26, 3, 8},
    {"<cnmk ", 53, 3, 6},        {"<bb \"", 61, 3, 5},
    {"<saf \"", 20, 3, 6},       {"<anfmt \"", 62, 3, 8},
    {"</anfmt>", 63, 3, 8},      {"<pgfmt \"", 64, 3, 8},
    {"</pgfmt>", 65, 3, 8},      {"<vfmt \"", 67, 3, 7},
    {"</vfmt>", 68, 3, 7},       {"<pnfmt \"", 69, 3, 8},
    {"</pnfmt>", 70, 3, 8},      {"<:r1", 77, 2, 4},
    {"<:r2", 77, 2, 4},          {"<:r3", 77, 2, 4},
    {"<:r4", 77, 2, 4},          {"<:r5", 77, 2, 4},
    {"<:r6", 77, 2, 4},          {"<:r7", 77, 2, 4},
    {"<:r8", 77, 2, 4},          {"<:r9", 77, 2, 4},
    {"<:lt>", 75, 1, 5},         {"<:gt>", 75, 1, 5},
    {"<:hls>", 75, 1, 6},        {"<:ts>", 75, 1, 5},
    {"<:fs>", 75, 1, 5},         {"<:ens>", 75, 1, 6},
    {"<:ems>", 75, 1, 6},        {"<:sh>", 75, 1, 5},
    {"<:lq>", 75, 1, 5},         {"<:rq>", 75, 1, 5},
    {"<:ldq>", 75, 1, 6},        {"<:rdq>", 75, 1, 6},
    {"<:frq>", 75, 1, 6},        {"<:flq>", 75, 1, 6},
    {"<:glq>", 75, 1, 6},        {"<:t>", 76, 1, 4},
    {"<:t.>", 76, 1, 5},         {"<:t_>", 76, 1, 5},
    {"<:t->", 76, 1, 5},         {"<:t-d>", 76, 1, 6},
    {"<:hr>", 76, 1, 5},         {"<:hs>", 76, 1, 5},
    {"<:b>", 78, 0, 4},          {"<:/b>", 79, 0, 5},
    {"<:i>", 80, 0, 4},          {"<:/i>", 81, 0, 5},
    {"<:bi>", 82, 0, 5},         {"<:/bi>", 83, 0, 6},
    {"<:c>", 84, 0, 4},          {"<:/c>", 85, 0, 5},
    {"<:s>", 86, 0, 4},          {"<:/s>", 87, 0, 5},
    {"<:cs \"", 93, 2, 6},       {"<:/cs>", 94, 2, 6},
    {"<:sc \"", 95, 2, 6},       {"<:/sc>", 96, 2, 6},
    {"<:fc ", 97, 1, 5},         {"<:/fc>", 98, 1, 6},
    {"<:imk ", 104, 2, 6},       {"<:fn ", 102, 3, 5},
    {"<:af ", 105, 3, 5},        {"<:bb \"", 119, 2, 6},
    {"<:crmk ", 110, 3, 7},      {"<:cnmk ", 109, 3, 7},
    {"<:cns \"", 91, 3, 7},      {"<:/cns>", 92, 3, 7},
    {"<:v \"", 100, 2, 5},       {"<:xr ", 88, 2, 5},
    {"<:axr ", 89, 2, 6},        {"<:iaf ", 111, 3, 6},
    {"<:saf ", 112, 3, 6},       {"<:an ", 90, 2, 5},
    {"<:r \"", 99, 2, 5},        {"<:pn \"", 101, 3, 6},
    {"<:", 122, 5, 2},           {"<", 123, 4, 1},
}};

constexpr std::array<TagInfo, kRows.size()> kVocabulary = [] {
    std::array<TagInfo, kRows.size()> entries{};
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        entries[i] = {kRows[i].text, kRows[i].id, static_cast<TagClass>(kRows[i].tagClass),
                      kRows[i].length};
    }
    return entries;
}();

struct PrefilledTag {
    std::string_view text;
    bool isExternal;
    TagId id;
    std::int16_t tagClass;
};

constexpr std::array<PrefilledTag, 37> kPrefilled = {{
    {"<imk>", true, 29, 2},   {"<ie>", true, 31, 2},    {"<il>", true, 32, 2},
    {"<ss>", true, 33, 2},    {"</imk>", true, 30, 2},  {"<:lt>", false, 75, 1},
    {"<:gt>", false, 75, 1},  {"<:hls>", false, 75, 1}, {"<:ts>", false, 75, 1},
    {"<:fs>", false, 75, 1},  {"<:ens>", false, 75, 1}, {"<:ems>", false, 75, 1},
    {"<:sh>", false, 75, 1},  {"<:lq>", false, 75, 1},  {"<:rq>", false, 75, 1},
    {"<:ldq>", false, 75, 1}, {"<:rdq>", false, 75, 1}, {"<:glq>", false, 75, 1},
    {"<:flq>", false, 75, 1}, {"<:frq>", false, 75, 1}, {"<:t>", false, 76, 1},
    {"<:t.>", false, 76, 1},  {"<:t_>", false, 76, 1},  {"<:t->", false, 76, 1},
    {"<:t-d>", false, 76, 1}, {"<:hr>", false, 76, 1},  {"<:hs>", false, 76, 1},
    {"<:b>", false, 78, 0},   {"<:/b>", false, 79, 0},  {"<:i>", false, 80, 0},
    {"<:/i>", false, 81, 0},  {"<:bi>", false, 82, 0},  {"<:/bi>", false, 83, 0},
    {"<:c>", false, 84, 0},   {"<:/c>", false, 85, 0},  {"<:s>", false, 86, 0},
    {"<:/s>", false, 87, 0},
}};

// The entries a tag can match, picked by its second and third byte, in table order: the first
// match among them is the first match in the whole table. Every entry but the two catch-alls is
// at least three bytes long, so only those two can match a tag that shares no such bytes.
class VocabularyIndex {
public:
    // Built while compiling: a run finds it ready, and a lookup needs no check that it is.
    constexpr VocabularyIndex() {
        lists_[kFallback].add(kCatchAll);
        lists_[kInternalFallback].add(kInternalCatchAll);
        lists_[kInternalFallback].add(kCatchAll);
        listCount_ = 2;
        for (std::size_t k = 0; k < listOf_.size(); ++k) {
            listOf_[k] = (k >> 8) == ':' ? kInternalFallback : kFallback;
        }
        for (std::uint8_t e = 0; e < kCatchAllsStart; ++e) {
            const std::string_view text = kVocabulary[e].text;
            std::uint16_t& list = listOf_[key(text[1], text[2])];
            if (list == kFallback || list == kInternalFallback) {
                // The catch-alls the fallback would have offered still come last.
                lists_[listCount_] = lists_[list];
                list = static_cast<std::uint16_t>(listCount_++);
            }
            lists_[list].insertBeforeCatchAlls(e, text[1] == ':' ? 2 : 1);
        }
    }

    std::optional<TagMatch> classify(std::string_view tag) const {
        if (tag.size() < 3) return firstMatch(tag);
        const List& list = lists_[listOf_[key(tag[1], tag[2])]];
        for (std::size_t i = 0; i < list.size; ++i) {
            const std::uint8_t e = list.entries[i];
            if (startsWithShortText(tag, kVocabulary[e].text)) return matchOf(e);
        }
        return std::nullopt;
    }

private:
    static constexpr std::uint8_t kCatchAllsStart = 116;
    static constexpr std::uint8_t kInternalCatchAll = 116;
    static constexpr std::uint8_t kCatchAll = 117;
    static_assert(kVocabulary[kInternalCatchAll].text == "<:");
    static_assert(kVocabulary[kCatchAll].text == "<");
    static constexpr std::uint16_t kFallback = 0;
    static constexpr std::uint16_t kInternalFallback = 1;

    // Entries in table order; room for every entry, which no list comes near.
    struct List {
        std::array<std::uint8_t, kVocabulary.size()> entries{};
        std::size_t size = 0;

        constexpr void add(std::uint8_t e) { entries[size++] = e; }
        constexpr void insertBeforeCatchAlls(std::uint8_t e, std::size_t catchAlls) {
            for (std::size_t i = size; i > size - catchAlls; --i) entries[i] = entries[i - 1];
            entries[size - catchAlls] = e;
            ++size;
        }
    };

    static constexpr std::size_t key(char second, char third) {
        return static_cast<std::size_t>(static_cast<unsigned char>(second)) << 8 |
               static_cast<unsigned char>(third);
    }

    static TagMatch matchOf(std::size_t e) { return {kVocabulary[e].id, kVocabulary[e].tagClass}; }

    static std::optional<TagMatch> firstMatch(std::string_view tag) {
        for (std::size_t e = 0; e < kVocabulary.size(); ++e) {
            if (tag.starts_with(kVocabulary[e].text)) return matchOf(e);
        }
        return std::nullopt;
    }

    std::array<std::uint16_t, 1 << 16> listOf_{};
    // The two fallbacks, then one list for each pair of second and third bytes in the table.
    std::array<List, 2 + kCatchAllsStart> lists_{};
    std::size_t listCount_ = 0;
};

constexpr VocabularyIndex kVocabularyIndex;

}  // namespace

std::span<const TagInfo> vocabulary() {
    return kVocabulary;
}

std::optional<TagMatch> classifyTag(std::string_view tag) {
    return kVocabularyIndex.classify(tag);
}

inline std::uint64_t TagCountMap::hashOf(std::string_view text) {
    return shortText::hash(text.data(), text.size());
}

inline std::size_t TagCountMap::slotOf(std::string_view text, std::uint64_t hash) const {
    const std::size_t mask = (std::size_t{1} << slotBits_) - 1;
    const auto check = static_cast<std::uint32_t>(hash);
    const char* texts = texts_.data();
    // The top bits pick the slot: they depend on every bit of the text, where the low bits of
    // texts that begin alike often agree.
    const int shift = 64 - slotBits_;
    for (std::size_t slot = static_cast<std::size_t>(hash >> shift);; slot = (slot + 1) & mask) {
        const Slot& candidate = slots_[slot];
        if (candidate.record == 0) return slot;
        if (candidate.check == check && candidate.size == text.size() &&
            shortText::sameBytes(texts + candidate.offset, text.data(), text.size())) {
            return slot;
        }
    }
}

TagCount* TagCountMap::find(std::string_view text) {
    if (slots_.empty()) return nullptr;
    const Slot& slot = slots_[slotOf(text, hashOf(text))];
    return slot.value;
}

TagCount& TagCountMap::insert(std::string_view text, const TagCount& value) {
    // At most half full, so a probe meets an empty slot soon.
    if (2 * (size_ + 1) > slots_.size()) grow();
    if (texts_.size() + text.size() > UINT32_MAX || size_ >= UINT32_MAX) {
        throw std::bad_alloc();
    }
    const std::uint64_t hash = hashOf(text);
    const std::size_t at = slotOf(text, hash);
    Slot& slot = slots_[at];
    const auto offset = static_cast<std::uint32_t>(texts_.size());
    const auto size = static_cast<std::uint32_t>(text.size());
    if (size_ % kChunkSize == 0) chunks_.emplace_back().reserve(kChunkSize);
    Record& record =
        chunks_.back().emplace_back(Record{offset, size, static_cast<std::uint32_t>(at), value});
    texts_.append(text);
    ++size_;
    slot = {&record.value, static_cast<std::uint32_t>(size_), static_cast<std::uint32_t>(hash),
            offset, size};
    return record.value;
}

TagCountMap::TagCountMap(const TagCountMap& other) {
    *this = other;
}

TagCountMap& TagCountMap::operator=(const TagCountMap& other) {
    if (this == &other) return *this;
    texts_.reserve(other.texts_.capacity());
    texts_.assign(other.texts_);
    chunks_.clear();
    for (const std::vector<Record>& chunk : other.chunks_) {
        std::vector<Record>& copy = chunks_.emplace_back();
        copy.reserve(kChunkSize);
        copy.assign(chunk.begin(), chunk.end());
    }
    size_ = other.size_;
    slots_ = other.slots_;
    slotBits_ = other.slotBits_;
    // The copied slots point at the other map's counts.
    for (std::vector<Record>& chunk : chunks_) {
        for (Record& record : chunk) slots_[record.slot].value = &record.value;
    }
    return *this;
}

void TagCountMap::reserve(std::size_t entries) {
    constexpr std::size_t kTypicalTextSize = 16;
    while (2 * entries > slots_.size()) grow();
    texts_.reserve(entries * kTypicalTextSize);
}

void TagCountMap::grow() {
    std::vector<Slot> old(std::max<std::size_t>(64, 2 * slots_.size()));
    old.swap(slots_);
    slotBits_ = std::countr_zero(slots_.size());
    for (const Slot& slot : old) {
        if (slot.record == 0) continue;
        const std::string_view text(texts_.data() + slot.offset, slot.size);
        const std::size_t at = slotOf(text, hashOf(text));
        slots_[at] = slot;
        recordAt(slot.record - 1).slot = static_cast<std::uint32_t>(at);
    }
}

void prefillTagCounts(TagCountMap& map) {
    for (const PrefilledTag& tag : kPrefilled) {
        map.insert(tag.text,
                   TagCount{0, tag.isExternal, tag.id, static_cast<TagClass>(tag.tagClass)});
    }
}

const TagCountMap& prefilledTagCounts() {
    static const TagCountMap prefilled = [] {
        TagCountMap map;
        prefillTagCounts(map);
        // Room for the distinct tags of a small file, which would otherwise grow the table
        // several times for every pair of a batch.
        map.reserve(256);
        return map;
    }();
    return prefilled;
}

}  // namespace brevo
