#pragma once

#include <vector>

#include "brx/document.h"
#include "verify/findings.h"

namespace brevo {

// Bracket form of every segment: counts, order, nesting, external tags inside tags. Puts the
// text of tagless segments in front of the next tagged segment, joined in `text`, the store
// of the segments' document.
void checkLexical(std::vector<Segment>& segments, TextStore& text, Findings& findings);

// Whether checkLexical would find nothing to report, and so leave the segments as they are.
bool isLexicallyClean(const std::vector<Segment>& segments);

}  // namespace brevo
