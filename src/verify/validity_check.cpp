#include "verify/validity_check.h"

namespace brevo {

void classifyExternalTags(std::vector<Segment>& segments, bool isSource, Findings& findings,
                          int& addedTagCount) {
    (void)isSource;
    (void)findings;
    (void)addedTagCount;
    for (Segment& segment : segments) {
        if (auto match = classifyTag(segment.tagText)) {
            segment.id = match->id;
            segment.tagClass = match->tagClass;
        }
    }
}

void checkSourceValidity(TagCountMap& tagCounts, const std::vector<Segment>& segments,
                         std::vector<InternalTag>& internalTags, Findings& findings) {
    (void)tagCounts;
    (void)segments;
    (void)internalTags;
    (void)findings;
}

void checkTargetValidity(TagCountMap& tagCounts, std::vector<Segment>& segments,
                         std::vector<InternalTag>& internalTags, Findings& findings) {
    (void)tagCounts;
    (void)segments;
    (void)internalTags;
    (void)findings;
}

}  // namespace brevo
