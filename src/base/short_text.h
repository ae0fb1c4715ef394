#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace brevo {

// Bytes of short texts such as tags, read a word at a time without a call: tags are compared
// and hashed by the hundred thousand, and most are shorter than sixteen bytes.
namespace shortText {

inline std::uint64_t loadWord(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

inline std::uint32_t loadHalf(const char* p) {
    std::uint32_t half;
    std::memcpy(&half, p, sizeof half);
    return half;
}

// The `size` (below 8) bytes at p as one number, without a loop: two overlapping loads, or the
// first, middle and last byte. Different bytes of the same size give different numbers.
inline std::uint64_t loadShort(const char* p, std::size_t size) {
    if (size >= 4) return std::uint64_t{loadHalf(p + size - 4)} << 32 | loadHalf(p);
    if (size == 0) return 0;
    return std::uint64_t{static_cast<unsigned char>(p[0])} << 16 |
           std::uint64_t{static_cast<unsigned char>(p[size / 2])} << 8 |
           static_cast<unsigned char>(p[size - 1]);
}

// Whether the `size` bytes at a and b are the same: eight at a time, the last word read where
// the bytes end.
inline bool sameBytes(const char* a, const char* b, std::size_t size) {
    if (size < 8) return loadShort(a, size) == loadShort(b, size);
    for (std::size_t i = 0; i + 8 < size; i += 8) {
        if (loadWord(a + i) != loadWord(b + i)) return false;
    }
    return loadWord(a + size - 8) == loadWord(b + size - 8);
}

// A hash of the bytes, eight at a time with a multiply-xorshift mix: tag texts are short, and
// the words of one file are not chosen to collide. The last word is read where the text ends,
// so most tags take two loads and no loop.
inline std::uint64_t hash(const char* p, std::size_t size) {
    std::uint64_t mixed = 0x9e3779b97f4a7c15ULL ^ size;
    if (size < 8) {
        mixed = (mixed ^ loadShort(p, size)) * 0x94d049bb133111ebULL;
        return mixed ^ (mixed >> 31);
    }
    for (std::size_t i = 0; i + 8 < size; i += 8) {
        mixed = (mixed ^ loadWord(p + i)) * 0xbf58476d1ce4e5b9ULL;
        mixed ^= mixed >> 29;
    }
    mixed = (mixed ^ loadWord(p + size - 8)) * 0x94d049bb133111ebULL;
    return mixed ^ (mixed >> 31);
}

}  // namespace shortText

inline bool sameShortText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && shortText::sameBytes(a.data(), b.data(), a.size());
}

inline bool startsWithShortText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           shortText::sameBytes(text.data(), prefix.data(), prefix.size());
}

}  // namespace brevo
