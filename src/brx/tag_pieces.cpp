#include "brx/tag_pieces.h"

#include <algorithm>
#include <cstddef>

#include "brx/failure.h"

namespace brevo {

std::optional<TagPiece> TagPieceReader::next() {
    if (position_ >= text_.size()) return std::nullopt;
    if (text_[position_] == '<') return readTag();
    const std::size_t start = position_;
    position_ = std::min(text_.find('<', start), text_.size());
    return TagPiece{TagPiece::Kind::Text, text_.substr(start, position_ - start)};
}

TagPiece TagPieceReader::readTag() {
    const std::size_t start = position_;
    std::ptrdiff_t depth = 0;
    do {
        if (position_ == text_.size()) fail(BrxError::ParserError);
        const char c = text_[position_++];
        if (c == '<') ++depth;
        if (c == '>') --depth;
    } while (depth > 0);
    std::string_view tag = text_.substr(start, position_ - start);
    if (tag.size() > 1 && tag[1] == '#') {
        unmarked_.assign(1, '<');
        unmarked_.append(tag.substr(2));
        tag = unmarked_;
    }
    return TagPiece{TagPiece::Kind::Tag, tag};
}

}  // namespace brevo
