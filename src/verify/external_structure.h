#pragma once

#include <vector>

#include "brx/document.h"
#include "verify/findings.h"

namespace brevo {

// Nesting of the external tags: start and end tags, contexts, index markers, </brx>.
void checkExternalStructure(const std::vector<Segment>& segments, Findings& findings);

}  // namespace brevo
