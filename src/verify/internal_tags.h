#pragma once

#include <vector>

#include "brx/document.h"
#include "verify/findings.h"

namespace brevo {

// Start and end internal tags must pair up within their segment group.
void checkInternalPairing(const std::vector<Segment>& segments,
                          const std::vector<InternalTag>& internalTags, Findings& findings);

// Internal tags that may not stand inside certain external tags.
void checkInternalStructure(const std::vector<Segment>& segments,
                            const std::vector<InternalTag>& internalTags, Findings& findings);

}  // namespace brevo
