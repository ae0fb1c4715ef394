#include "batch/file_job.h"

#include <new>
#include <string>

#include "batch/status_messages.h"
#include "brx/path_lookup.h"
#include "verify/messages.h"
#include "verify/verification_run.h"

namespace brevo {
namespace {

const std::string kUnderscores(84, '_');

std::string withNumber(std::string_view pattern, int number) {
    MessageArg arg = static_cast<long long>(number);
    return formatText(pattern, std::span<const MessageArg>(&arg, 1));
}

void appendCountLines(const ResultCounts& counts, BatchUser& user) {
    if (counts.errors > 0) user.appendResultLine(withNumber("Errors: %d", counts.errors));
    if (counts.alerts > 0) user.appendResultLine(withNumber("Alerts: %d", counts.alerts));
    if (counts.warnings > 0) user.appendResultLine(withNumber("Warnings: %d", counts.warnings));
}

}  // namespace

OverwriteAnswer askOverwrite(const VerifyJob& job, BatchUser& user) {
    if (job.options.overwriteFiles) return OverwriteAnswer::Yes;
    const std::string path = resolvePathIgnoringCase(job.reportPath());
    if (!fileExists(path)) return OverwriteAnswer::Yes;
    return user.askOverwrite("Do you want to overwrite the file:\n" + path +
                             "\nCancel terminates the batch.");
}

VerifyStatus runJob(VerifyJob& job, BatchRunHost& host, BatchUser& user) {
    try {
        VerificationRun run(job, host);
        run.run();
    } catch (const StatusFailure& failure) {
        return failure.status;
    } catch (const FileFailure& failure) {
        user.appendResultLine(fileErrorMessage(failure.cause));
        user.appendResultLine("Filename:" + failure.fileName);
        return VerifyStatus::FileError;
    } catch (const std::bad_alloc&) {
        return VerifyStatus::OutOfMemory;
    }
}

bool reportOutcome(VerifyStatus status, const ResultCounts& counts, BatchCounts& batch,
                   int stepsPerFile, int fileCount, BatchUser& user) {
    user.setFileProgress(stepsPerFile);
    ++batch.processed;
    const StatusOutcome outcome = outcomeOf(status);
    for (std::string_view line : outcome.lines) user.appendResultLine(line);
    if (outcome.withCounts) appendCountLines(counts, user);
    user.appendResultLine("");
    if (outcome.failed) ++batch.failed;
    if (!outcome.stopText) return true;

    user.setBatchProgress(stepsPerFile * fileCount);
    user.appendResultLine(kUnderscores);
    user.appendResultLine("");
    user.appendResultLine("The batch was cancelled.");
    user.appendResultLine(kUnderscores);
    user.showStop(withNumber(*outcome.stopText, batch.processed - batch.failed));
    return false;
}

}  // namespace brevo
