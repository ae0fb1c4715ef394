#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_failure.h"
#include "verify/pair_outcome.h"

namespace brevo {

// What the results list says about a pair's status, whether the file counts as failed, and
// the message that stops the batch, for the statuses that do.
struct StatusLines {
    std::vector<std::string_view> lines;  // before the count lines
    bool withCounts = false;
    bool failed = true;
    std::optional<std::string_view> stopText;  // holds one %d: the files verified
};

StatusLines statusLinesOf(VerifyStatus status);

std::string_view fileErrorMessage(FileErrorCause cause);

// Why a pair counts as failed, in the words of its results lines on one line; empty for a
// pair that does not.
std::string failureReason(const PairOutcome& outcome);

// The line that closes a batch in the results list, and frames the note of a stopped one.
inline constexpr std::string_view kResultsRule =
    "____________________________________________________________________________________";

}  // namespace brevo
