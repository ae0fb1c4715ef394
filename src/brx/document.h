#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brevo {

// One external tag and everything after it up to the next external tag.
struct Segment {
    std::string tagText;  // the tag as written; empty when the cut fell inside another tag
    std::string text;     // begins with tagText; holds the text, internal tags and line feeds
    std::int32_t id = 123;
    std::int32_t tagClass = 0;
    bool added = false;
};

// One internal tag inside a segment's text.
struct InternalTag {
    std::string text;
    std::size_t externalTag = 0;  // position of the owning segment in `segments`
    std::int32_t externalId = 0;
    std::int32_t id = 0;
    std::int32_t tagClass = 0;
    bool excluded = false;
    std::int32_t segmentOrdinal = 0;
};

struct BrxDocument {
    std::vector<Segment> segments;
    std::vector<InternalTag> internalTags;
};

}  // namespace brevo
