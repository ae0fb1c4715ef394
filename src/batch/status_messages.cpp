#include "batch/status_messages.h"

#include "base/file_failure.h"

namespace brevo {
namespace {

constexpr std::string_view kCancelledLine = "Verification failed! Cancelled by user.";
constexpr std::string_view kUnknownLine =
    "Verification failed! An unknown parser error has occurred.";
constexpr std::string_view kUnknownStop =
    "An unknown parser error has occurred! %d file(s) verified.";

StatusLines failedWith(std::string_view line) {
    return StatusLines{{line}, false, true, {}};
}

}  // namespace

StatusLines statusLinesOf(VerifyStatus status) {
    switch (status) {
        case VerifyStatus::Completed:
            return {{"Verification complete!"}, true, false, {}};
        case VerifyStatus::NotFullyCompared:
            return {
                {"Verification failed! The files could not be fully compared."}, true, true, {}};
        case VerifyStatus::Cancelled:
        case VerifyStatus::BatchCancelled:
            return {{kCancelledLine}, false, true, "The batch was cancelled! %d file(s) verified."};
        case VerifyStatus::Declined:
            return failedWith(kCancelledLine);
        case VerifyStatus::FileError:
            return {{}, false, true, {}};
        case VerifyStatus::OutOfMemory:
            return {{"Verification failed! A memory error has occurred."},
                    false,
                    true,
                    "A memory error has occurred! %d file(s) verified."};
        case VerifyStatus::ParserError:
            return failedWith("Verification failed! A parser error has occurred.");
        case VerifyStatus::UnexpectedEnd:
            return failedWith("Verification failed! Unexpected end of input file.");
        case VerifyStatus::NotBrx:
            return {{"Verification failed! This file is not a valid BRX file.",
                     "BRX files must begin with the tag <brx \"I2.xx\">."},
                    false,
                    true,
                    {}};
        case VerifyStatus::NotRtf:
            return failedWith("Verification failed! This file is not a valid RTF file.");
        case VerifyStatus::RtfUnmatchedBrace:
        case VerifyStatus::RtfBadHexDigit:
        case VerifyStatus::RtfOpenGroups:
        case VerifyStatus::RtfUnexpectedEnd:
            return failedWith("Verification failed! An RTF parser error has occurred.");
        case VerifyStatus::NewerVersion:
            return {{"Verification failed! This file was created by a more recent version of The "
                     "Dorvex.",
                     "Please contact technical support for an upgrade."},
                    false,
                    true,
                    {}};
        case VerifyStatus::FrameMakerFile:
            return failedWith(
                "Verification failed! This file was created by The Dorvex for FrameMaker.");
        case VerifyStatus::MissingLanguage:
            return failedWith(
                "Verification failed! Could not determine source language (no valid <language> "
                "tag found).");
        case VerifyStatus::InvalidLanguage:
            return failedWith(
                "Verification failed! The <language> tag does not contain a valid language.");
        case VerifyStatus::MissingQuotes:
            return failedWith(
                "Verification failed! Could not determine quotes setting (no valid <quotes> tag "
                "found).");
        case VerifyStatus::MissingReadOnly:
            return failedWith(
                "Verification failed! Could not determine read only setting (no valid <readonly> "
                "tag found).");
        default:
            return {{kUnknownLine}, false, true, kUnknownStop};
    }
}

std::string failureReason(const PairOutcome& outcome) {
    const StatusLines status = statusLinesOf(outcome.status);
    if (!status.failed) return {};
    std::vector<std::string> lines;
    if (const auto& failure = outcome.fileFailure) {
        lines.emplace_back(fileErrorMessage(failure->cause));
        lines.push_back("Filename:" + failure->fileName);
    }
    lines.insert(lines.end(), status.lines.begin(), status.lines.end());
    std::string reason;
    for (const std::string& line : lines) {
        if (!reason.empty()) reason += ' ';
        reason += line;
    }
    return reason;
}

std::string_view fileErrorMessage(FileErrorCause cause) {
    switch (cause) {
        case FileErrorCause::None:
            return "File Error! No error occurred.";
        case FileErrorCause::NotFound:
            return "File Error! The file could not be located.";
        case FileErrorCause::BadPath:
            return "File Error! All or part of the path is invalid.";
        case FileErrorCause::TooManyOpenFiles:
            return "File Error! The permitted number of open files was exceeded.";
        case FileErrorCause::AccessDenied:
            return "File Error! The file could not be accessed.";
        case FileErrorCause::InvalidHandle:
            return "File Error! There was an attempt to use an invalid file handle.";
        case FileErrorCause::RemoveCurrentDir:
            return "File Error! The current working directory cannot be removed.";
        case FileErrorCause::DirectoryFull:
            return "File Error! There are no more directory entries.";
        case FileErrorCause::BadSeek:
            return "File Error! There was an error trying to set the file pointer.";
        case FileErrorCause::HardwareFailure:
            return "File Error! There was a hardware error.";
        case FileErrorCause::SharingViolation:
            return "File Error! SHARE.EXE was not loaded, or a shared region was locked.";
        case FileErrorCause::LockViolation:
            return "File Error! There was an attempt to lock a region that was already locked.";
        case FileErrorCause::DiskFull:
            return "File Error! The disk is full.";
        case FileErrorCause::EndOfFile:
            return "File Error! The end of file was reached.";
        case FileErrorCause::Unspecified:
            break;
    }
    return "File Error! An unspecified error occurred.";
}

}  // namespace brevo
