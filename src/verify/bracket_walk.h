#pragma once

#include <optional>
#include <string_view>

#include "brx/bracket_scan.h"
#include "verify/messages.h"

namespace brevo {

// One walk over the brackets of a segment's text, for the two things they decide: its first
// bracket fault, if any, and its internal tags. Balanced counts come first: only then is the
// order and depth walk meaningful. Internal tags are looked for from `tagsFrom` on, after the
// segment's own tag: onTag(view) gets each complete one; text outside tags and stray ">" are
// skipped, nested brackets stay inside one tag, a tag still open at the end is dropped.
template <typename OnTag>
std::optional<MessageId> walkBrackets(std::string_view text, std::size_t tagsFrom, OnTag&& onTag) {
    constexpr int kMaxDepth = 3;
    const char* p = text.data();
    const char* const end = p + text.size();
    const char* const tagsBegin = p + tagsFrom;
    long long opens = 0;
    long long closes = 0;
    int depth = 0;
    int tagDepth = 0;
    const char* tagStart = p;
    std::optional<MessageId> walkFault;
    while ((p = findBracket(p, end)) < end) {
        if (*p == '<') {
            ++opens;
            ++depth;
            if (p >= tagsBegin && tagDepth++ == 0) tagStart = p;
        } else {
            ++closes;
            --depth;
            if (tagDepth > 0 && --tagDepth == 0) {
                onTag(std::string_view(tagStart, static_cast<std::size_t>(p + 1 - tagStart)));
            }
        }
        if (!walkFault && depth < 0) walkFault = MessageId::BracketsInWrongOrder;
        if (!walkFault && depth > kMaxDepth) walkFault = MessageId::TooManyInternalOpens;
        ++p;
    }
    return opens != closes ? MessageId::BracketCountsDiffer : walkFault;
}

}  // namespace brevo
