#pragma once

#include <string>
#include <vector>

#include "app/model/verify_settings.h"
#include "batch/verify_batch.h"

namespace brevo::app {

FileFormat fileFormatOf(const VerifySettings& settings);

// The batch for the chosen files as the settings make it: one pair at a time, so that the
// results come as the command line's `--jobs 1` gives them.
BatchRequest batchRequestFrom(const VerifySettings& settings, std::vector<std::string> files,
                              std::string sourceDir, std::string targetDir);

}  // namespace brevo::app
