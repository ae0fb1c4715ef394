#pragma once

#include <vector>

#include "brx/document.h"
#include "brx/tag_vocabulary.h"
#include "verify/findings.h"

namespace brevo {

// External tags whose counts differ between source and target.
void reportExternalTagCounts(const TagCountMap& tagCounts, Findings& findings);

// Target tags added with the "<#...>" syntax.
void reportAddedExternalTags(const std::vector<Segment>& targetSegments, Findings& findings);

// Aligns the two segment sequences and reports deleted, added and changed external tags;
// marks the segments it could not pair as `added`.
void compareExternalTags(std::vector<Segment>& sourceSegments, std::vector<Segment>& targetSegments,
                         Findings& findings);

namespace detail {

// The same alignment, searching each look-ahead window segment by segment. Quadratic on
// badly damaged pairs; kept as the reference the indexed search must agree with.
void compareExternalTagsByScan(std::vector<Segment>& sourceSegments,
                               std::vector<Segment>& targetSegments, Findings& findings);

}  // namespace detail

}  // namespace brevo
