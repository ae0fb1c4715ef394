#pragma once

#include "brx/document.h"
#include "brx/tag_vocabulary.h"
#include "verify/findings.h"

namespace brevo {

// Internal tags whose counts differ between source and target.
void reportInternalTagCounts(const TagCountMap& tagCounts, Findings& findings);

// Compares the internal tags of paired segments, then those of added-syntax segments.
void compareInternalTags(BrxDocument& source, BrxDocument& target, Findings& findings);

namespace detail {
// How a source tag's partner is looked for among the target tags of its segment pair. The scan
// walks the pair's tags for every source tag; the indexed search chains the tags of a crowded
// pair by text, so a pair with thousands of tags in one segment stays linear.
enum class PartnerSearch { Indexed, Scan };

// The comparison of paired segments alone, with a choice of partner search.
void compareInternalTagPairs(BrxDocument& source, BrxDocument& target, Findings& findings,
                             PartnerSearch search);
}  // namespace detail

}  // namespace brevo
