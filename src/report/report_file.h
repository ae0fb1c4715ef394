#pragma once

#include <string>

#include "report/report_log.h"

namespace brevo {

// Writes the report as text: every line followed by CR LF, every "\n" inside a line as CR LF.
// Replaces an existing file. Throws FileFailure when the file cannot be created or written.
void writeTextReport(const std::string& path, const ReportLog::Lines& lines);

// Writes `bytes` to `path`, replacing an existing file. Throws FileFailure.
void writeWholeFile(const std::string& path, const std::string& bytes);

}  // namespace brevo
