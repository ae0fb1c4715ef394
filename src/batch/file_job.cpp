#include "batch/file_job.h"

#include <exception>
#include <new>
#include <string>

#include "base/file_failure.h"
#include "base/path_lookup.h"
#include "batch/status_messages.h"
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
    const std::string path = job.reportPath();
    if (!fileExists(path)) return OverwriteAnswer::Yes;
    return user.askOverwrite("Do you want to overwrite the file:\n" + path +
                             "\nCancel terminates the batch.");
}

JobResult runJob(VerifyJob& job, RunHost& host) {
    JobResult result;
    try {
        VerificationRun run(job, host);
        run.run();
    } catch (const StatusFailure& failure) {
        result.status = failure.status;
    } catch (const FileFailure& failure) {
        result.status = VerifyStatus::FileError;
        result.fileErrorLines = {std::string(fileErrorMessage(failure.cause)),
                                 "Filename:" + failure.fileName};
    } catch (const std::bad_alloc&) {
        result.status = VerifyStatus::OutOfMemory;
    } catch (const std::exception&) {
        // Nothing else is expected; an unknown status stops the batch rather than the program.
        result.status = VerifyStatus::UnknownError;
    }
    return result;
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
