#pragma once

#include <optional>
#include <string_view>

#include "brx/bracket_scan.h"
#include "verify/messages.h"

namespace brevo {

// One walk over the brackets of a segment's text, for the two things they decide: its first
// bracket fault, if any, and its internal tags. Internal tags are looked for from `tagsFrom` on, after the
// segment's own tag: onTag(view) gets each complete one; text outside tags and stray ">" are
// skipped, nested brackets stay inside one tag, a tag still open at the end is dropped.
template <typename OnTag>
std::optional<MessageId> walkBrackets(std::string_view text, std::size_t tagsFrom, OnTag&& onTag) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const char* const tagsBegin = p + tagsFrom;
    BracketTally tally;
    int tagDepth = 0;
    const char* tagStart = p;
    while ((p = findBracket(p, end)) < end) {
        if (*p == '<') {
            tally.open();
            if (p >= tagsBegin && tagDepth++ == 0) tagStart = p;
        } else {
            tally.close();
            if (tagDepth > 0 && --tagDepth == 0) {
                onTag(std::string_view(tagStart, static_cast<std::size_t>(p + 1 - tagStart)));
            }
        }
        ++p;
    }
    switch (tally.fault()) {
        case BracketTally::Fault::CountsDiffer:
            return MessageId::BracketCountsDiffer;
        case BracketTally::Fault::WrongOrder:
            return MessageId::BracketsInWrongOrder;
        case BracketTally::Fault::TooDeep:
            return MessageId::TooManyInternalOpens;
        case BracketTally::Fault::None:
            break;
    }
    return std::nullopt;
}

}  // namespace brevo
