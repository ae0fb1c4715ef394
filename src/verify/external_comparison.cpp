#include "verify/external_comparison.h"

namespace brevo {

void reportExternalTagCounts(const TagCountMap& tagCounts, Findings& findings) {
    (void)tagCounts;
    (void)findings;
}

void reportAddedExternalTags(const std::vector<Segment>& targetSegments, Findings& findings) {
    (void)targetSegments;
    (void)findings;
}

void compareExternalTags(std::vector<Segment>& sourceSegments,
                         std::vector<Segment>& targetSegments, Findings& findings) {
    (void)sourceSegments;
    (void)targetSegments;
    (void)findings;
}

}  // namespace brevo
