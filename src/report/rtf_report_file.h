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

// Writes the RTF report, piece by piece as the log's lines are read: the preamble (font table,
// colour table, style sheet, page size) followed by the already encoded lines, "\par "
// between them, and the closing "}". Replaces an existing file. Throws FileFailure.
void writeRtfReport(const std::string& path, const ReportLog& log, const RtfLayout& layout);

namespace detail {
// The same for lines held all at once: the report as one string, and written to `path`.
std::string buildRtfReport(const ReportLog::Lines& lines, const RtfLayout& layout);
void writeRtfReport(const std::string& path, const ReportLog::Lines& lines,
                    const RtfLayout& layout);
}  // namespace detail

}  // namespace brevo
