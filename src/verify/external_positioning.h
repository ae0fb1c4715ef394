#pragma once

#include <vector>

#include "brx/document.h"
#include "verify/findings.h"

namespace brevo {

// Text where no text may stand, and texts longer than their tag allows.
void checkExternalPositioning(const std::vector<Segment>& segments, Findings& findings);

}  // namespace brevo
