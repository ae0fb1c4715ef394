#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "batch/verify_batch.h"

namespace brevo {

// The line of the first segment of `side` that a finding concerns, where one is known.
std::optional<std::uint32_t> lineOf(const Finding& finding, Side side);

// A finding's text in UTF-8. It quotes the file whose segment it concerns first, or the file it
// is about, so it is read in that file's code page.
std::string messageUtf8(const Finding& finding, const PairOutcome& outcome);
// Any text of the finding, such as one of its arguments, read as messageUtf8 reads its message.
std::string findingTextUtf8(std::string_view text, const Finding& finding,
                            const PairOutcome& outcome);

// ERROR, ALERT and WARNING as the levels of compilers and of SARIF: error, warning, note.
std::string_view diagnosticLevel(Severity severity);

// A report message without its running number and severity: "[3] ALERT! The tag ..." gives
// "The tag ...". Text of another shape is returned whole.
std::string_view withoutNumberAndSeverity(std::string_view message);

}  // namespace brevo
