#pragma once

#include <string>

#include "base/file_failure.h"
#include "report/report_log.h"

namespace brevo {

enum class PageSize { A4, Letter };
enum class Orientation { Portrait, Landscape };

// The page and the fonts of an RTF report: fonts 3 and 4 are those of the source's and the
// target's code page, which the encoded lines refer to.
struct RtfLayout {
    PageSize pageSize = PageSize::A4;
    Orientation orientation = Orientation::Portrait;
    int sourceCodePage = 1252;
    int targetCodePage = 1252;
};

// The whole RTF report: the preamble (font table, colour table, style sheet, page size)
// followed by the already encoded lines, "\par " between them, and the closing "}".
std::string buildRtfReport(const ReportLog::Lines& lines, const RtfLayout& layout);

// Writes buildRtfReport(...) to `path`, replacing an existing file. Throws FileFailure.
void writeRtfReport(const std::string& path, const ReportLog::Lines& lines,
                    const RtfLayout& layout);
// The same for a whole log, written piece by piece as its lines are read.
void writeRtfReport(const std::string& path, const ReportLog& log, const RtfLayout& layout);

}  // namespace brevo
