#pragma once

#include <vector>

#include "brx/document.h"
#include "verify/findings.h"

namespace brevo {

// Shift-JIS characters the publishing system cannot represent.
void checkJapaneseCharacters(const std::vector<Segment>& segments, Findings& findings);

}  // namespace brevo
