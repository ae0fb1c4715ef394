#pragma once

#include "brx/document.h"
#include "brx/tag_vocabulary.h"
#include "verify/findings.h"

namespace brevo {

// Internal tags whose counts differ between source and target.
void reportInternalTagCounts(const TagCountMap& tagCounts, Findings& findings);

// Compares the internal tags of paired segments, then those of added-syntax segments.
void compareInternalTags(BrxDocument& source, BrxDocument& target, Findings& findings);

}  // namespace brevo
