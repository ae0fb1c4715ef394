#include "verify/internal_tags.h"

namespace brevo {

void checkInternalPairing(const std::vector<Segment>& segments,
                          const std::vector<InternalTag>& internalTags, Findings& findings) {
    (void)segments;
    (void)internalTags;
    (void)findings;
}

void checkInternalStructure(const std::vector<Segment>& segments,
                            const std::vector<InternalTag>& internalTags, Findings& findings) {
    (void)segments;
    (void)internalTags;
    (void)findings;
}

}  // namespace brevo
