#include "batch/verify_batch.h"

#include "batch/file_job.h"
#include "report/date_time.h"
#include "verify/messages.h"
#include "verify/verification_run.h"

namespace brevo {
namespace {

constexpr int kStepsPerFile = VerificationRun::kProgressSteps;

VerifyJob makeJob(const BatchRequest& request) {
    VerifyJob job;
    job.sourceDir = request.sourceDir;
    job.targetDir = request.targetDir;
    job.options = request.options;
    setSourceLanguage(job.languages, request.sourceLanguage);
    setTargetLanguage(job.languages, request.targetLanguage);
    return job;
}

// The file's name without the target directory and without its four-character extension.
std::string baseNameOf(const std::string& path, const std::string& targetDir) {
    std::string name = path.size() > targetDir.size() ? path.substr(targetDir.size()) : "";
    name.resize(name.size() >= 4 ? name.size() - 4 : 0);
    return name;
}

}  // namespace

void orderSelection(std::vector<std::string>& files) {
    if (files.size() > 1 && !(files.front() < files.back())) std::swap(files.front(), files.back());
}

std::string summaryText(const BatchResult& result) {
    auto format = [](std::string_view pattern, std::initializer_list<long long> numbers) {
        std::vector<MessageArg> args(numbers.begin(), numbers.end());
        return formatText(pattern, args);
    };
    const bool one = result.fileCount == 1;
    if (result.failed > 0) {
        if (one) return "The file could not be verified.";
        return format("%d file(s) verified.\n%d file(s) could not be fully verified.",
                      {result.processed - result.failed, result.failed});
    }
    if (result.tagChangeFiles > 0) {
        if (one) return "Files verified. There are Tag changes.";
        return format("%d file(s) verified. Tag changes in %d file(s).",
                      {result.processed, result.tagChangeFiles});
    }
    if (one) return "Files verified.";
    return format("%d file(s) verified.", {result.processed});
}

BatchResult verifyBatch(const BatchRequest& request, BatchUser& user) {
    BatchResult result;
    result.fileCount = static_cast<int>(request.files.size());
    VerifyJob job = makeJob(request);
    BatchRunHost host(user);
    BatchCounts counts;

    user.startProgress(kStepsPerFile, kStepsPerFile * result.fileCount);
    user.appendResultLine("");
    user.appendResultLine(longDateTimeNow());
    user.appendResultLine("");

    for (const std::string& path : request.files) {
        job.baseName = baseNameOf(path, job.targetDir);
        job.extension = job.options.fileFormat == FileFormat::Rtf ? ".RTF" : ".TXT";
        user.startFile();
        user.appendResultLine("Verifying " + path);

        VerifyStatus status = VerifyStatus::UnknownError;
        switch (askOverwrite(job, user)) {
            case OverwriteAnswer::Yes:
                status = runJob(job, host, user);
                break;
            case OverwriteAnswer::No:
                status = VerifyStatus::Declined;
                break;
            case OverwriteAnswer::Cancel:
                status = VerifyStatus::BatchCancelled;
                break;
            case OverwriteAnswer::Other:
                break;
        }
        if (host.counts.any()) ++result.tagChangeFiles;
        const bool goOn =
            reportOutcome(status, host.counts, counts, kStepsPerFile, result.fileCount, user);
        host.counts = {};
        if (!goOn) {
            result.processed = counts.processed;
            result.failed = counts.failed;
            result.stopped = true;
            return result;
        }
    }

    result.processed = counts.processed;
    result.failed = counts.failed;
    user.setBatchProgress(kStepsPerFile * result.fileCount);
    user.appendResultLine(std::string(84, '_'));
    user.showSummary(summaryText(result));
    return result;
}

}  // namespace brevo
