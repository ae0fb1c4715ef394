#pragma once

#include <cstdint>

namespace brevo {

// Why a BRX file could not be read or taken apart. The values are those of the statuses the
// pair then ends with.
enum class BrxError : std::int32_t {
    ParserError = 6,
    UnexpectedEnd = 8,
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
};

// Thrown where a file turns out not to be readable BRX; it ends the pair.
struct BrxFailure {
    BrxError error;
};

[[noreturn]] inline void fail(BrxError error) {
    throw BrxFailure{error};
}

}  // namespace brevo
