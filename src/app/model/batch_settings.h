#pragma once

#include "app/model/verify_settings.h"
#include "batch/verify_batch.h"

namespace brevo::app {

FileFormat fileFormatOf(const VerifySettings& settings);

// Everything of a batch that the settings decide, without its files and directories, which
// the batch plan adds. One pair at a time, so that the results come as the command line's
// `--jobs 1` gives them; every finding kept for the window.
BatchRequest batchRequestFrom(const VerifySettings& settings);

}  // namespace brevo::app
