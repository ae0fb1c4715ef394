#include "verify/pair_outcome.h"

namespace brevo {

std::string_view statusName(VerifyStatus status) {
    switch (status) {
        case VerifyStatus::Cancelled:
            return "Cancelled";
        case VerifyStatus::BatchCancelled:
            return "BatchCancelled";
        case VerifyStatus::Declined:
            return "Declined";
        case VerifyStatus::FileError:
            return "FileError";
        case VerifyStatus::OutOfMemory:
            return "OutOfMemory";
        case VerifyStatus::ParserError:
            return "ParserError";
        case VerifyStatus::UnexpectedEnd:
            return "UnexpectedEnd";
        case VerifyStatus::UnknownError:
            return "UnknownError";
        case VerifyStatus::NotBrx:
            return "NotBrx";
        case VerifyStatus::NotRtf:
            return "NotRtf";
        case VerifyStatus::RtfUnmatchedBrace:
        case VerifyStatus::RtfBadHexDigit:
        case VerifyStatus::RtfOpenGroups:
        case VerifyStatus::RtfUnexpectedEnd:
            return "RtfParserError";
        case VerifyStatus::NewerVersion:
            return "NewerVersion";
        case VerifyStatus::FrameMakerFile:
            return "FrameMakerFile";
        case VerifyStatus::MissingLanguage:
            return "MissingLanguage";
        case VerifyStatus::InvalidLanguage:
            return "InvalidLanguage";
        case VerifyStatus::MissingQuotes:
            return "MissingQuotes";
        case VerifyStatus::MissingReadOnly:
            return "MissingReadOnly";
        case VerifyStatus::NotFullyCompared:
            return "NotFullyCompared";
        case VerifyStatus::Completed:
            return "Completed";
    }
    return "UnknownError";
}

}  // namespace brevo
