#include "brx/document.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <new>

namespace brevo {

std::uint32_t lineBelow(const std::vector<LineGap>& gaps, std::uint32_t line, std::size_t breaks) {
    // The gap in force at editor line `line` makes it a text line; the one in force `breaks`
    // text lines further makes that an editor line again.
    const auto atEditorLine = std::upper_bound(gaps.begin(), gaps.end(), line,
                                               [](std::uint32_t wanted, const LineGap& gap) {
                                                   return wanted < gap.textLine + gap.skipped;
                                               });
    const std::uint32_t skippedBefore =
        atEditorLine == gaps.begin() ? 0 : std::prev(atEditorLine)->skipped;
    const std::uint64_t textLine = std::uint64_t{line} - skippedBefore + breaks;
    const auto atTextLine = std::upper_bound(
        gaps.begin(), gaps.end(), textLine,
        [](std::uint64_t wanted, const LineGap& gap) { return wanted < gap.textLine; });
    const std::uint32_t skippedThere =
        atTextLine == gaps.begin() ? 0 : std::prev(atTextLine)->skipped;
    const std::uint64_t below = textLine + skippedThere;
    return below > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(below);
}

InternalTag internalTagAt(std::size_t position, const Segment& segment, std::string_view text) {
    const auto offset = static_cast<std::size_t>(text.data() - segment.text.data());
    // A file with a segment or a tag that long would not fit in memory anyway.
    if (position > UINT32_MAX || offset > UINT32_MAX || text.size() > UINT32_MAX) {
        throw std::bad_alloc();
    }
    InternalTag tag;
    tag.offset = static_cast<std::uint32_t>(offset);
    tag.length = static_cast<std::uint32_t>(text.size());
    tag.externalTag = static_cast<std::uint32_t>(position);
    return tag;
}

}  // namespace brevo
