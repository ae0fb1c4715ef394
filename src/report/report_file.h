#pragma once

#include <string>

#include "report/report_log.h"

namespace brevo {

// Writes the report as text: every line followed by CR LF, every "\n" inside a line as CR LF.
// Replaces an existing file. Throws FileFailure when the file cannot be created or written.
void writeTextReport(const std::string& path, const ReportLog::Lines& lines);

// Writes `bytes` to `path`, replacing an existing file. The bytes go to a temporary file in the
// same directory that is renamed over the old one only when complete: a failure leaves the
// earlier file as it was and nothing partial. A symbolic link stays and its target is replaced;
// a device or pipe is written in place. Throws FileFailure naming `path`.
void writeWholeFile(const std::string& path, const std::string& bytes);

}  // namespace brevo
