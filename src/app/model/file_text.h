#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "brx/file_format.h"

namespace brevo::app {

// A BRX file as the side-by-side view shows it: its lines in UTF-8, numbered as the verifier
// numbers them (an editor's lines for text files, the decoded paragraphs for RTF files), and
// the line of every segment's tag.
struct FileText {
    std::vector<std::string> lines;
    std::vector<std::uint32_t> segmentLines;
    std::string failure;  // why the file could not be read; empty when it was
};

// Reads the file at `path`; its 8-bit text is in `codePage`. Never throws: a file that cannot
// be read gives its reason in `failure` and as much as was read.
FileText readFileText(const std::string& path, FileFormat format, int codePage);

// Text cut at every CR LF, lone CR and lone LF, as an editor counts lines; a break at the
// very end opens no further line.
std::vector<std::string_view> editorLines(std::string_view text);

// The lines from the first to the last, counted from 1.
struct LineRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    bool operator==(const LineRange&) const = default;
};

// The lines a segment takes: from its tag's line up to the line before the next segment's tag,
// or that line too when the next tag does not begin it. A segment the file does not have
// takes just `line`.
LineRange segmentRange(const FileText& file, std::size_t segment, std::uint32_t line);

// A tag in a line, in the line's code units.
struct TagSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    bool internal = false;  // "<:...>": inside the text rather than between texts
    bool operator==(const TagSpan&) const = default;
};

// Where a tag that a line leaves open continues on the next one.
struct TagScan {
    int depth = 0;
    bool internal = false;
};

// The tags of one line, brackets counted as the loader counts them; a tag may begin on an
// earlier line (`scan` carries it) and end on a later one.
std::vector<TagSpan> tagSpans(std::u16string_view line, TagScan& scan);

}  // namespace brevo::app
