#include "app/model/results_file.h"

#include <string_view>

#include "base/file_failure.h"
#include "batch/status_messages.h"
#include "report/report_file.h"

namespace brevo::app {
namespace {

constexpr std::string_view kFileName = "Filename:";

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

}  // namespace brevo::app
