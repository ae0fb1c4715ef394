#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brevo {

template <char... bytes>
constexpr bool isOneOf(char c) {
    return ((c == bytes) || ...);
}

#if defined(__SSE2__)
// Bit i set where byte i of the sixteen at p is one of `bytes`.
template <char... bytes>
inline unsigned marksOf16(const char* p) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(chunk, _mm_set1_epi8(bytes)))), ...);
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}
#endif

// The first byte in [p, end) that is one of `bytes`, or end: sixteen bytes at a time where the
// processor has SSE2 (every x86-64 does), else eight bytes in a 64-bit word. Most of a BRX
// file is text between the few bytes its readers react to; text runs are short, a dozen bytes
// or so, so wider blocks would rarely pay.
template <char... bytes>
inline const char* findFirstOf(const char* p, const char* end) {
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        if (const unsigned found = marksOf16<bytes...>(p)) return p + std::countr_zero(found);
    }
#else
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    // The high bit of each byte that is zero in x; bits above the lowest may be false alarms.
    const auto zeroBytes = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
    if constexpr (std::endian::native == std::endian::little) {
        for (; end - p >= 8; p += 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t found =
                (zeroBytes(word ^ (kOnes * static_cast<unsigned char>(bytes))) | ...);
            if (found != 0) return p + std::countr_zero(found) / 8;
        }
    }
#endif
    while (p < end && !isOneOf<bytes...>(*p)) ++p;
    return p;
}

// Finds, one after another, the bytes of [begin, end) that are one of `bytes`. Where a reader
// meets such a byte every few bytes, as a BRX file's reader does, each search started afresh
// would look at the same block again; this one marks the bytes of 64 at a time in one word and
// takes them from there. Bytes before the last one found may be rewritten meanwhile.
template <char... bytes>
class ByteFinder {
public:
    ByteFinder(const char* begin, const char* end) : block_(begin), blockEnd_(begin), end_(end) {}

    // The first byte after the one found last, or from `begin` on, that is one of `bytes`; end
    // when there is none.
    const char* next() {
        while (marks_ == 0) {
            if (blockEnd_ >= end_) return end_;
            load(blockEnd_);
        }
        const char* const found = block_ + std::countr_zero(marks_);
        marks_ &= marks_ - 1;
        return found;
    }

    // The reader has passed over everything before p, which lies after the byte found last.
    void skipTo(const char* p) {
        if (p < blockEnd_) {
            marks_ &= ~std::uint64_t{0} << static_cast<unsigned>(p - block_);
        } else {
            marks_ = 0;
            blockEnd_ = p;
        }
    }

private:
    static constexpr std::ptrdiff_t kBlock = 64;

    void load(const char* p) {
        block_ = p;
        if (end_ - p < kBlock) {
            blockEnd_ = end_;
            marks_ = 0;
            for (std::ptrdiff_t i = 0; i < end_ - p; ++i) {
                marks_ |= std::uint64_t{isOneOf<bytes...>(p[i])} << i;
            }
            return;
        }
        blockEnd_ = p + kBlock;
#if defined(__SSE2__)
        marks_ = 0;
        for (int part = 0; part < 4; ++part) {
            marks_ |= std::uint64_t{marksOf16<bytes...>(p + 16 * part)} << (16 * part);
        }
#else
        marks_ = 0;
        for (std::ptrdiff_t i = 0; i < kBlock; ++i)
            marks_ |= std::uint64_t{isOneOf<bytes...>(p[i])} << i;
#endif
    }

    const char* block_;
    const char* blockEnd_;
    const char* end_;
    std::uint64_t marks_ = 0;  // bit i: block_[i] is one of `bytes`, not yet found
};

namespace detail {

constexpr bool isMarker(char c) {
    return c == '<' || c == '>' || c == '\r' || c == '\n';
}

}  // namespace detail

// The first "<" or ">" in [p, end), or end.
inline const char* findBracket(const char* p, const char* end) {
    return findFirstOf<'<', '>'>(p, end);
}

// Finds "<", ">", CR and LF one after another: all that a text file's reader reacts to.
using MarkerFinder = ByteFinder<'<', '>', '\r', '\n'>;

// The brackets of one stretch of text as the lexical check judges them: as many "<" as ">",
// never more ">" than "<" so far, and never more than three open at once. The first fault of
// the order or depth is kept; unequal counts outrank it.
class BracketTally {
public:
    enum class Fault : std::uint8_t { None, CountsDiffer, WrongOrder, TooDeep };

    void open() {
        if (++depth_ > kMaxDepth && walkFault_ == Fault::None) walkFault_ = Fault::TooDeep;
    }
    void close() {
        if (--depth_ < 0 && walkFault_ == Fault::None) walkFault_ = Fault::WrongOrder;
    }
    Fault fault() const { return depth_ != 0 ? Fault::CountsDiffer : walkFault_; }

private:
    static constexpr long long kMaxDepth = 3;

    long long depth_ = 0;  // opened minus closed
    Fault walkFault_ = Fault::None;
};

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
