#include "verify/lexical_check.h"

namespace brevo {

void checkLexical(std::vector<Segment>& segments, Findings& findings) {
    (void)segments;
    (void)findings;
}

}  // namespace brevo
