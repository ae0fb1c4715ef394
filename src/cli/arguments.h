#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/file_selection.h"
#include "batch/verify_batch.h"

namespace brevo::cli {

inline constexpr int kExitUsage = 64;

// The least severity of a finding that makes the exit status 1.
enum class FailOn { Error, Alert, Warning, Never };

struct Arguments {
    BatchRequest request;  // without files when none of the names given can be verified
    std::vector<RejectedFile> rejected;
    std::optional<std::string> jsonPath;
    std::optional<std::string> sarifPath;
    std::optional<FileFormat> format;  // as asked for; otherwise the first file's extension
    FailOn failOn = FailOn::Warning;
    bool quiet = false;
    bool diagnostics = false;     // each finding on standard error as compilers write them
    bool namesFromStdin = false;  // standard input held the names, so it answers nothing
    bool showHelp = false;
    bool showVersion = false;
};

// A usage error: the message for the user; the exit status is always kExitUsage.
struct UsageError {
    std::string message;
};

// Parses the command line into a batch request. Names that cannot be verified are set aside
// in `rejected`; the directories are checked. Throws UsageError.
Arguments parseArguments(std::vector<std::string> args);

std::string helpText();

}  // namespace brevo::cli
