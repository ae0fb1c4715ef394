#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/verify_batch.h"

namespace brevo::cli {

inline constexpr int kExitUsage = 64;

struct Arguments {
    BatchRequest request;
    bool showHelp = false;
};

// A usage error: the message for the user; the exit status is always kExitUsage.
struct UsageError {
    std::string message;
};

// Parses the command line into a batch request; checks the directories. Throws UsageError.
Arguments parseArguments(const std::vector<std::string>& args);

std::string helpText();

}  // namespace brevo::cli
