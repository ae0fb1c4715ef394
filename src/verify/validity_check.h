#pragma once

#include <span>
#include <vector>

#include "brx/document.h"
#include "brx/tag_vocabulary.h"
#include "verify/findings.h"

namespace brevo {

// Gives every segment the id and class of its external tag. In a target, tags written "<#...>"
// become AddedMarked and are counted in `addedTagCount`.
void classifyExternalTags(std::vector<Segment>& segments, Side side, Findings& findings,
                          int& addedTagCount);

// The target's part of classifyExternalTags, which reports nothing: returns how many tags are
// written "<#...>".
int classifyTargetExternalTags(std::vector<Segment>& segments);

// Appends every complete internal tag after each segment's external tag, with its text and the
// position of its segment; the rest is filled in by the counting below.
void extractInternalTags(const std::vector<Segment>& segments,
                         std::vector<InternalTag>& internalTags);

// Counts every tag of the source in `tagCounts` and marks the source's extracted internal
// tags, which follow the order of `segments`.
void countSourceTags(TagCountMap& tagCounts, const std::vector<Segment>& segments,
                     std::span<InternalTag> internalTags, Findings& findings);

// Accepts only tags the source has (or that are always allowed), takes them off their counts,
// and marks the target's extracted internal tags.
void countTargetTags(TagCountMap& tagCounts, std::vector<Segment>& segments,
                     std::span<InternalTag> internalTags, Findings& findings);

// Extracts the source's internal tags and counts every tag of the source.
void checkSourceValidity(TagCountMap& tagCounts, const std::vector<Segment>& segments,
                         std::vector<InternalTag>& internalTags, Findings& findings);

namespace detail {
// Extracts the target's internal tags and counts them and the external tags off: the run does
// these steps apart, as the target may have been read ahead.
void checkTargetValidity(TagCountMap& tagCounts, std::vector<Segment>& segments,
                         std::vector<InternalTag>& internalTags, Findings& findings);
}  // namespace detail

}  // namespace brevo
