#pragma once

#include <vector>

#include "brx/document.h"
#include "brx/tag_vocabulary.h"
#include "verify/findings.h"

namespace brevo {

// Gives every segment the id and class of its external tag. In a target, tags written "<#...>"
// become AddedMarked and are counted in `addedTagCount`.
void classifyExternalTags(std::vector<Segment>& segments, bool isSource, Findings& findings,
                          int& addedTagCount);

// Counts every tag of the source in `tagCounts` and collects its internal tags.
void checkSourceValidity(TagCountMap& tagCounts, const std::vector<Segment>& segments,
                         std::vector<InternalTag>& internalTags, Findings& findings);

// Accepts only tags the source has (or that are always allowed), takes them off their counts,
// and collects the target's internal tags.
void checkTargetValidity(TagCountMap& tagCounts, std::vector<Segment>& segments,
                         std::vector<InternalTag>& internalTags, Findings& findings);

}  // namespace brevo
