#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brevo {

// One piece of a segment: a run of text between tags, or one whole tag with any nested
// angle brackets inside it.
struct TagPiece {
    enum class Kind { Text, Tag };
    Kind kind;
    // A view into the segment text, or for a tag written "<#..." into the reader's own copy
    // without the '#'; valid until the next call of next().
    std::string_view text;
};

// Splits a segment text into text runs and tags, front to back, without copying except for
// tags marked "<#...". An unterminated tag ends the verification with ParserError.
class TagPieceReader {
public:
    explicit TagPieceReader(std::string_view text) : text_(text) {}

    std::optional<TagPiece> next();

private:
    TagPiece readTag();

    std::string_view text_;
    std::size_t position_ = 0;
    std::string unmarked_;  // reused for every marked tag
};

}  // namespace brevo
