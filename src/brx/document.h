#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/file_mapping.h"
#include "base/text_store.h"
#include "brx/tag_vocabulary.h"

namespace brevo {

// One external tag and everything after it up to the next external tag.
struct Segment {
    std::string_view text;  // the tag, then the text, internal tags and line feeds
    // Where the tag begins: 0, or after the tagless text put in front of it. A tag may close
    // only after the next segment has begun, so it can run past the end of `text`; the bytes
    // it runs into stay in the document's store.
    std::uint32_t tagStart = 0;
    std::uint32_t tagLength = 0;  // 0 when the cut fell inside another tag
    // Ids and classes are small numbers; narrow fields keep a file's many records small.
    TagId id = kUnknownExternalId;
    TagClass tagClass = TagClass::Formatting;
    bool added = false;
    // Among the segments not added, from 1; an added segment has that of the one before. Set
    // once the external tags are paired, for the internal tags' comparison.
    std::int32_t ordinal = 0;

    // The tag as written; empty when the cut fell inside another tag.
    std::string_view tagText() const { return {text.data() + tagStart, tagLength}; }
};

// One internal tag inside a segment's text. What belongs to its segment, such as the segment's
// id, ordinal and text, is looked up there: a file has many internal tags.
struct InternalTag {
    std::uint32_t offset = 0;       // where its text begins in the segment's
    std::uint32_t length = 0;       // of its text
    std::uint32_t externalTag = 0;  // position of the owning segment in `segments`
    TagId id = 0;
    TagClass tagClass = TagClass::Formatting;
    bool excluded = false;
};

// The text of `tag`, an internal tag of the segments.
inline std::string_view textOf(const std::vector<Segment>& segments, const InternalTag& tag) {
    return {segments[tag.externalTag].text.data() + tag.offset, tag.length};
}

// An internal tag of the segment at `position` whose text is `text`, a stretch of that
// segment's text.
InternalTag internalTagAt(std::size_t position, const Segment& segment, std::string_view text);

// Blank lines are gone from a document's text, which has one line feed a line, but editors
// count them. From text line `textLine` (the first is 1) on, until the next gap, the line an
// editor shows is the text line plus `skipped`.
struct LineGap {
    std::uint32_t textLine = 0;
    std::uint32_t skipped = 0;
};

// The line an editor shows for what stands `breaks` line feeds of the text below editor line
// `line`, given the gaps of the file in order.
std::uint32_t lineBelow(const std::vector<LineGap>& gaps, std::uint32_t line, std::size_t breaks);

static_assert(sizeof(Segment) <= 32 && sizeof(InternalTag) <= 16,
              "a file has about as many segments and internal tags as lines");

// The views of the segments and internal tags point into `text`, which the document owns.
struct BrxDocument {
    std::vector<Segment> segments;
    // Where each segment's tag is in the file: the line an editor shows, from 1, or for RTF
    // files the paragraph of the decoded text. Kept beside the segments, which stay small.
    std::vector<std::uint32_t> segmentLines;
    // Where blank lines were left out of `text`; empty for a file without them.
    std::vector<LineGap> lineGaps;
    std::vector<InternalTag> internalTags;
    TextStore text;
    // Whether the loader found the internal tags as it cut the file: it does when every
    // segment has a tag of its own and brackets that balance, never more closed than opened
    // and at most three open, which is all the lexical check asks. Otherwise the list is left
    // to the checks.
    bool tagsFound = false;
    // The file itself when its text is read in place, as a large text file's is.
    std::shared_ptr<const FileMapping> mappedFile;

    // Whether the file lost bytes while its text was read in place from it: what they held
    // then reads as zeros.
    bool fileShrank() const { return mappedFile && mappedFile->shrunk(); }
};

}  // namespace brevo
