#include "verify/internal_comparison.h"

namespace brevo {

void reportInternalTagCounts(const TagCountMap& tagCounts, Findings& findings) {
    (void)tagCounts;
    (void)findings;
}

void compareInternalTags(BrxDocument& source, BrxDocument& target, Findings& findings) {
    (void)source;
    (void)target;
    (void)findings;
}

}  // namespace brevo
