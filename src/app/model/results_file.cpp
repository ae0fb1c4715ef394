#include "app/model/results_file.h"

#include <string_view>

#include "base/file_failure.h"
#include "base/path_lookup.h"
#include "batch/status_messages.h"
#include "report/report_file.h"

namespace brevo::app {
namespace {

constexpr std::string_view kVerifying = "Verifying ";
constexpr std::string_view kFileName = "Filename:";

// The report beside a translated file: its name without the four-character extension.
std::string reportBeside(std::string_view file) {
    if (file.size() < 4) return {};
    std::string report(file.substr(0, file.size() - 4));
    report += ".CMP";
    return report;
}

}  // namespace

std::vector<std::string> saveResults(const std::string& path,
                                     const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        for (char c : line) {
            if (c == '\n') bytes += '\r';
            bytes += c;
        }
        bytes += "\r\n";
    }
    try {
        writeWholeFile(path, bytes);
        return {};
    } catch (const FileFailure& failure) {
        return {std::string(fileErrorMessage(failure.cause)), std::string(kFileName) + path};
    }
}

std::optional<std::string> reportOfResultLine(const std::vector<std::string>& lines,
                                              std::size_t row) {
    for (std::size_t at = row; at < lines.size(); --at) {
        const std::string_view line = lines[at];
        if (line.empty()) break;
        if (!line.starts_with(kVerifying)) continue;
        const std::string report = reportBeside(line.substr(kVerifying.size()));
        if (!report.empty() && fileExists(report)) return report;
        break;
    }
    return std::nullopt;
}

}  // namespace brevo::app
