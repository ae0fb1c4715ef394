#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/finding.h"
#include "report/line_writer.h"

namespace brevo {

// The frame of every report: a header that names the files, the totals once they are known,
// and the closing block of a report with errors.
class ReportLayout {
public:
    explicit ReportLayout(ReportLineWriter& writer) : writer_(writer) {}

    void writeHeader(std::string_view dateTime, std::string_view sourcePath,
                     std::string_view targetPath);
    // The totals go after the header's last file line; the closing block, if there are
    // errors, at the end.
    void writeTotalsAndClosing(const FindingCounts& counts);

private:
    ReportLineWriter& writer_;
    std::optional<ReportLog::Position> totalsAnchor_;
};

// "Errors: 2", "Alerts: 1", "Warnings: 5": the counts above 0, in this order.
std::vector<std::string> countLines(const FindingCounts& counts);

}  // namespace brevo
