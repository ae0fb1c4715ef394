#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/file_failure.h"
#include "brx/failure.h"
#include "report/finding.h"

namespace brevo {

// The code of a BRX error, which its status shares.
constexpr std::int32_t codeOf(BrxError error) {
    return static_cast<std::int32_t>(error);
}

// The outcome of one file pair. A file that is no readable BRX ends its pair with the status of
// the same code. Any int may travel here: codes outside the named ones count as unknown.
enum class VerifyStatus : std::int32_t {
    Cancelled = 1,
    BatchCancelled = 2,  // Cancel in the overwrite question
    Declined = 3,        // No in the overwrite question
    FileError = 4,
    OutOfMemory = 5,
    ParserError = codeOf(BrxError::ParserError),
    UnexpectedEnd = codeOf(BrxError::UnexpectedEnd),
    UnknownError = 100,
    NotBrx = codeOf(BrxError::NotBrx),
    NotRtf = codeOf(BrxError::NotRtf),
    RtfUnmatchedBrace = codeOf(BrxError::RtfUnmatchedBrace),
    RtfBadHexDigit = codeOf(BrxError::RtfBadHexDigit),
    RtfOpenGroups = codeOf(BrxError::RtfOpenGroups),
    RtfUnexpectedEnd = codeOf(BrxError::RtfUnexpectedEnd),
    NewerVersion = codeOf(BrxError::NewerVersion),
    FrameMakerFile = codeOf(BrxError::FrameMakerFile),
    MissingLanguage = codeOf(BrxError::MissingLanguage),
    InvalidLanguage = codeOf(BrxError::InvalidLanguage),
    MissingQuotes = codeOf(BrxError::MissingQuotes),
    MissingReadOnly = codeOf(BrxError::MissingReadOnly),
    NotFullyCompared = 10020,
    Completed = 10030,
};

// The name a status has in what pipelines read; every code outside the table is UnknownError.
std::string_view statusName(VerifyStatus status);

constexpr VerifyStatus statusOf(BrxError error) {
    return static_cast<VerifyStatus>(error);
}

// How the verification of a pair ended, with the counts of its report.
struct PairOutcome {
    VerifyStatus status = VerifyStatus::UnknownError;
    FindingCounts counts;
    std::optional<FileFailure> fileFailure;  // the file and the cause, for FileError

    // Kept when the job asks for the findings.
    std::vector<Finding> findings;
    bool reportWritten = false;
    int sourceCodePage = 0;  // the code pages the files' texts are in
    int targetCodePage = 0;
};

// Thrown where a run stops before its end: a lexical fault, or a cancel.
struct RunStopped {
    VerifyStatus status;
};

}  // namespace brevo
