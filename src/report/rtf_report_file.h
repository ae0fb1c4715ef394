#pragma once

#include <string>

#include "base/file_failure.h"
#include "report/report_log.h"

namespace brevo {

// The whole RTF report: the preamble (font table for the two code pages, colour table, style
// sheet, page size) followed by the already encoded lines, "\par " between them, and the
// closing "}". Fonts 3 and 4 are the source and target fonts the encoded lines refer to.
std::string buildRtfReport(const ReportLog::Lines& lines, bool isA4, int sourceCodePage,
                           int targetCodePage, bool portrait);

// Writes buildRtfReport(...) to `path`, replacing an existing file. Throws FileFailure.
void writeRtfReport(const std::string& path, const ReportLog::Lines& lines, bool isA4,
                    int sourceCodePage, int targetCodePage, bool portrait);
// The same for a whole log, written piece by piece as its lines are read.
void writeRtfReport(const std::string& path, const ReportLog& log, bool isA4, int sourceCodePage,
                    int targetCodePage, bool portrait);

}  // namespace brevo
