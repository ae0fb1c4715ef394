#pragma once

#include "app/model/verify_settings.h"
#include "batch/verify_batch.h"

namespace brevo::app {

FileFormat fileFormatOf(const VerifySettings& settings);

// Everything of a batch that the settings decide, without its files and directories, which
// the batch plan adds. As many pairs at once as the machine has cores, as the command line
// does by default (the results are those of one pair at a time); every finding kept for the
// window.
BatchRequest batchRequestFrom(const VerifySettings& settings);

}  // namespace brevo::app
