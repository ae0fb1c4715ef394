#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace brevo {

// The first byte `A` or `B` in [p, end), or end. Eight bytes at a time are tested for either,
// and the first one found is picked out of the word by its bit position. Text runs are short,
// a dozen bytes or so, so wider blocks would rarely pay.
template <char A, char B>
inline const char* findEitherByte(const char* p, const char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    constexpr std::uint64_t kAs = kOnes * static_cast<unsigned char>(A);
    constexpr std::uint64_t kBs = kOnes * static_cast<unsigned char>(B);
    // The high bit of each byte that is zero in x; bits above the lowest may be false alarms.
    const auto zeroBytes = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t found = zeroBytes(word ^ kAs) | zeroBytes(word ^ kBs);
            if (found != 0) return p + std::countr_zero(found) / 8;
            p += 8;
        }
    }
    while (p < end && *p != A && *p != B) ++p;
    return p;
}

// The first "<" or ">" in [p, end), or end. Most of a BRX file is text between tags.
inline const char* findBracket(const char* p, const char* end) {
    return findEitherByte<'<', '>'>(p, end);
}

// The first CR or LF in [p, end), or end.
inline const char* findLineBreak(const char* p, const char* end) {
    return findEitherByte<'\r', '\n'>(p, end);
}

// How many times `c` occurs in [p, end), counted a block at a time so that the compiler can
// use vector instructions.
inline std::size_t countByte(const char* p, const char* end, char c) {
    std::size_t count = 0;
    constexpr std::ptrdiff_t kBlock = 32;
    for (; end - p >= kBlock; p += kBlock) {
        unsigned char inBlock = 0;
        for (std::ptrdiff_t i = 0; i < kBlock; ++i) {
            inBlock = static_cast<unsigned char>(inBlock + (p[i] == c));
        }
        count += inBlock;
    }
    for (; p < end; ++p) count += *p == c;
    return count;
}

}  // namespace brevo
