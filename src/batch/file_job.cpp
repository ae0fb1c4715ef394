#include "batch/file_job.h"

#include <exception>
#include <new>
#include <string>

#include "base/file_failure.h"
#include "base/path_lookup.h"
#include "batch/status_messages.h"
#include "report/report_layout.h"
#include "verify/messages.h"
#include "verify/verification_run.h"

namespace brevo {
namespace {

std::string withNumber(std::string_view pattern, int number) {
    MessageArg arg = static_cast<long long>(number);
    return formatText(pattern, std::span<const MessageArg>(&arg, 1));
}

void appendCountLines(const FindingCounts& counts, BatchUser& user) {
    for (const std::string& line : countLines(counts)) user.appendResultLine(line);
}

}  // namespace

OverwriteAnswer askOverwrite(const VerifyJob& job, BatchUser& user) {
    if (job.options.overwriteFiles) return OverwriteAnswer::Yes;
    const std::string path = job.reportPath();
    if (!fileExists(path)) return OverwriteAnswer::Yes;
    return user.askOverwrite("Do you want to overwrite the file:\n" + path +
                             "\nCancel terminates the batch.");
}

bool reportOutcome(const PairOutcome& outcome, BatchCounts& batch, int stepsPerFile,
                   BatchUser& user) {
    if (const auto& failure = outcome.fileFailure) {
        user.appendResultLine(fileErrorMessage(failure->cause));
        user.appendResultLine("Filename:" + failure->fileName);
    }
    user.setFileProgress(stepsPerFile);
    ++batch.processed;
    const StatusLines status = statusLinesOf(outcome.status);
    for (std::string_view line : status.lines) user.appendResultLine(line);
    if (status.withCounts) appendCountLines(outcome.counts, user);
    user.appendResultLine("");
    if (status.failed) ++batch.failed;
    return !status.stopText;
}

void reportStop(VerifyStatus status, const BatchCounts& batch, int stepsPerFile, int fileCount,
                BatchUser& user) {
    const std::optional<std::string_view> stopText = statusLinesOf(status).stopText;
    user.setBatchProgress(stepsPerFile * fileCount);
    user.appendResultLine(kResultsRule);
    user.appendResultLine("");
    user.appendResultLine("The batch was cancelled.");
    user.appendResultLine(kResultsRule);
    user.showStop(withNumber(stopText.value_or(""), batch.processed - batch.failed));
}

}  // namespace brevo
