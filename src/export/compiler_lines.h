#pragma once

#include <string>

#include "batch/verify_batch.h"

namespace brevo {

// The findings of a batch as a compiler writes its diagnostics, one line each, so that editors
// (Vim's quickfix, Emacs' compilation mode) and CI logs take them as they take a compiler's:
//     target/guide.txt:17: error: The external tag <ie> has been deleted. [18210]
// A finding stands on the file it is about, at the line of its first segment in that file;
// without such a line it names the file alone. ERROR is "error", ALERT "warning" and WARNING
// "note". `colour` adds the terminal colours compilers use for the location and the severity.
std::string compilerStyleLines(const BatchResult& result, bool colour);

}  // namespace brevo
