#pragma once

#include <vector>

#include "brx/document.h"
#include "verify/findings.h"

namespace brevo {

// Bracket form of every segment: counts, order, nesting, external tags inside tags. Puts the
// text of tagless segments in front of the next tagged segment.
void checkLexical(std::vector<Segment>& segments, Findings& findings);

}  // namespace brevo
