#include "verify/japanese_check.h"

namespace brevo {

void checkJapaneseCharacters(const std::vector<Segment>& segments, Findings& findings) {
    (void)segments;
    (void)findings;
}

}  // namespace brevo
