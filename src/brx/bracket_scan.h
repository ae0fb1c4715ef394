#pragma once

#include <cstdint>
#include <cstring>

namespace brevo {

// The first "<" or ">" in [p, end), or end. Most of a BRX file is text between tags, so eight
// bytes at a time are tested for either bracket before any single byte is looked at.
inline const char* findBracket(const char* p, const char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    constexpr std::uint64_t kOpens = kOnes * '<';
    constexpr std::uint64_t kCloses = kOnes * '>';
    // A byte of x is zero exactly where the word held the bracket; this flags any zero byte.
    const auto hasZeroByte = [](std::uint64_t x) { return ((x - kOnes) & ~x & kHighs) != 0; };
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (hasZeroByte(word ^ kOpens) || hasZeroByte(word ^ kCloses)) break;
        p += 8;
    }
    while (p < end && *p != '<' && *p != '>') ++p;
    return p;
}

}  // namespace brevo
