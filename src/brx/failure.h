#pragma once

#include <cstdint>

namespace brevo {

// The outcome of one file pair. A run always ends by throwing one of these; any int may travel
// here, codes outside the named ones count as unknown.
enum class VerifyStatus : std::int32_t {
    Cancelled = 1,
    BatchCancelled = 2,
    Declined = 3,
    FileError = 4,
    OutOfMemory = 5,
    ParserError = 6,
    UnexpectedEnd = 8,
    UnknownError = 100,
    NotBrx = 5000,
    NotRtf = 5010,
    RtfUnmatchedBrace = 5020,  // the four RTF decoder codes share one message
    RtfBadHexDigit = 5030,
    RtfOpenGroups = 5040,
    RtfUnexpectedEnd = 5050,
    NewerVersion = 5070,
    FrameMakerFile = 5080,
    MissingLanguage = 6020,
    InvalidLanguage = 6040,
    MissingQuotes = 7000,
    MissingReadOnly = 7010,
    NotFullyCompared = 10020,
    Completed = 10030,
};

// Thrown to end the verification of a pair; caught once per pair by the job.
struct StatusFailure {
    VerifyStatus status;
};

[[noreturn]] inline void fail(VerifyStatus status) {
    throw StatusFailure{status};
}

}  // namespace brevo
