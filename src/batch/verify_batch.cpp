#include "batch/verify_batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_set>

#include "base/file_failure.h"
#include "base/path_lookup.h"
#include "base/regular_file.h"
#include "batch/file_job.h"
#include "batch/status_messages.h"
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

void selectFile(VerifyJob& job, const std::string& path) {
    job.baseName = baseNameOf(path, job.targetDir);
    job.extension = job.options.fileFormat == FileFormat::Rtf ? ".RTF" : ".TXT";
}

// A pair the user did not let the batch verify.
PairOutcome outcomeWithout(OverwriteAnswer answer) {
    PairOutcome outcome;
    switch (answer) {
        case OverwriteAnswer::No:
            outcome.status = VerifyStatus::Declined;
            break;
        case OverwriteAnswer::Cancel:
            outcome.status = VerifyStatus::BatchCancelled;
            break;
        default:
            outcome.status = VerifyStatus::UnknownError;
    }
    return outcome;
}

// The bookkeeping of one batch: what the results list shows after each pair.
class BatchLog {
public:
    BatchLog(const BatchRequest& request, BatchUser& user)
        : user_(user), pathsJob_(makeJob(request)), keep_(request.options.keepFindings) {
        result_.fileCount = static_cast<int>(request.files.size());
        user_.startProgress(kStepsPerFile, kStepsPerFile * result_.fileCount);
        user_.appendResultLine("");
        user_.appendResultLine(longDateTimeNow());
        user_.appendResultLine("");
    }

    void startPair(const std::string& path) {
        user_.startFile(path);
        user_.appendResultLine("Verifying " + path);
    }

    // False when the pair's status stops the batch.
    bool finishPair(const std::string& path, PairOutcome outcome) {
        if (outcome.counts.any()) ++result_.tagChangeFiles;
        result_.totals.errors += outcome.counts.errors;
        result_.totals.alerts += outcome.counts.alerts;
        result_.totals.warnings += outcome.counts.warnings;
        const bool goOn = reportOutcome(outcome, counts_, kStepsPerFile, user_);
        result_.stopped = !goOn;
        const VerifyStatus status = outcome.status;
        if (keep_) keep(path, std::move(outcome));
        if (!goOn) reportStop(status, counts_, kStepsPerFile, result_.fileCount, user_);
        return goOn;
    }

    BatchResult finish() {
        result_.processed = counts_.processed;
        result_.failed = counts_.failed;
        if (!result_.stopped) {
            user_.setBatchProgress(kStepsPerFile * result_.fileCount);
            user_.appendResultLine(kResultsRule);
            user_.showSummary(summaryText(result_));
        }
        return result_;
    }

private:
    void keep(const std::string& path, PairOutcome outcome) {
        selectFile(pathsJob_, path);
        result_.pairs.push_back({resolvePathIgnoringCase(pathsJob_.sourcePath()),
                                 resolvePathIgnoringCase(pathsJob_.targetPath()),
                                 pathsJob_.reportPath(), std::move(outcome)});
        user_.finishPair(result_.pairs.back());
    }

    BatchUser& user_;
    BatchResult result_;
    BatchCounts counts_;
    VerifyJob pathsJob_;  // only its paths are used
    bool keep_;
};

BatchResult verifyOneAtATime(const BatchRequest& request, BatchUser& user) {
    BatchLog log(request, user);
    VerifyJob job = makeJob(request);
    UserProgress progress(user);
    for (const std::string& path : request.files) {
        selectFile(job, path);
        log.startPair(path);
        const OverwriteAnswer answer = askOverwrite(job, user);
        PairOutcome outcome =
            answer == OverwriteAnswer::Yes ? verifyPair(job, progress) : outcomeWithout(answer);
        if (!log.finishPair(path, std::move(outcome))) break;
    }
    return log.finish();
}

// Runs pairs on worker threads. Workers never talk to the user: they count progress steps
// and read a cancel flag that the waiting thread keeps up to date.
class PairPool {
public:
    PairPool(const BatchRequest& request, std::vector<std::size_t> pairs, int threads)
        : request_(request),
          pairs_(std::move(pairs)),
          done_(request.files.size()),
          pairSteps_(request.files.size()) {
        const int count = std::clamp(threads, 1, std::max(1, static_cast<int>(pairs_.size())));
        for (int i = 0; i < count; ++i) workers_.emplace_back([this] { work(); });
    }

    ~PairPool() {
        cancel_ = true;
        for (std::thread& worker : workers_) worker.join();
    }

    // Waits for pair `index`, passing on a cancel. The batch bar counts the steps of every
    // pair; the file bar shows the steps of this one, whose line the results show last.
    PairOutcome take(std::size_t index, BatchUser& user) {
        std::unique_lock lock(mutex_);
        int shownFileSteps = 0;
        for (;;) {
            forwardProgress(user);
            if (const int fileSteps = pairSteps_[index]; fileSteps != shownFileSteps) {
                user.setFileProgress(fileSteps);
                shownFileSteps = fileSteps;
            }
            if (user.cancelRequested()) cancel_ = true;
            if (done_[index]) return std::move(*done_[index]);
            finished_.wait_for(lock, std::chrono::milliseconds(50));
        }
    }

    void stop() { cancel_ = true; }

private:
    class WorkerProgress : public RunProgress {
    public:
        WorkerProgress(PairPool& pool, std::size_t index) : pool_(pool), index_(index) {}
        bool step() override {
            ++pool_.pairSteps_[index_];
            ++pool_.steps_;
            return !pool_.cancel_;
        }
        void skipStep() override { ++pool_.steps_; }

    private:
        PairPool& pool_;
        std::size_t index_;
    };

    void work() {
        VerifyJob job = makeJob(request_);
        for (;;) {
            const std::size_t slot = next_++;
            if (slot >= pairs_.size()) return;
            const std::size_t index = pairs_[slot];
            selectFile(job, request_.files[index]);
            WorkerProgress progress(*this, index);
            PairOutcome outcome = verifyPair(job, progress);
            std::lock_guard lock(mutex_);
            done_[index] = std::move(outcome);
            finished_.notify_all();
        }
    }

    void forwardProgress(BatchUser& user) {
        for (int now = steps_; shownSteps_ < now; ++shownSteps_) user.skipFileStep();
    }

    const BatchRequest& request_;
    const std::vector<std::size_t> pairs_;
    std::vector<std::optional<PairOutcome>> done_;
    std::vector<std::atomic<int>> pairSteps_;  // the steps each pair has taken
    std::atomic<std::size_t> next_{0};
    std::atomic<int> steps_{0};
    std::atomic<bool> cancel_{false};
    int shownSteps_ = 0;
    std::mutex mutex_;
    std::condition_variable finished_;
    std::vector<std::thread> workers_;
};

BatchResult verifyInParallel(const BatchRequest& request, BatchUser& user) {
    BatchLog log(request, user);
    // Every question first, in order; a Cancel ends the asking and, later, the batch.
    std::vector<OverwriteAnswer> answers;
    std::vector<std::size_t> toVerify;
    VerifyJob job = makeJob(request);
    for (std::size_t i = 0; i < request.files.size(); ++i) {
        selectFile(job, request.files[i]);
        answers.push_back(askOverwrite(job, user));
        if (answers.back() == OverwriteAnswer::Yes) toVerify.push_back(i);
        if (answers.back() == OverwriteAnswer::Cancel) break;
    }

    PairPool pool(request, toVerify, request.jobs);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        log.startPair(request.files[i]);
        PairOutcome outcome =
            answers[i] == OverwriteAnswer::Yes ? pool.take(i, user) : outcomeWithout(answers[i]);
        if (!log.finishPair(request.files[i], std::move(outcome))) {
            pool.stop();
            break;
        }
    }
    return log.finish();
}

// Two files with one base name share a report: the later pair's question depends on what the
// earlier one wrote, so such a batch goes one pair at a time.
bool sharesAReport(const BatchRequest& request) {
    std::unordered_set<std::string> baseNames;
    for (const std::string& path : request.files) {
        if (!baseNames.insert(baseNameOf(path, request.targetDir)).second) return true;
    }
    return false;
}

bool startsWithByteOrderMark(const std::string& path) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    try {
        RegularFile file;
        file.open(path);
        char start[3];
        std::size_t got = 0;
        while (got < sizeof start) {
            const std::size_t more = file.read(start + got, sizeof start - got);
            if (more == 0) break;
            got += more;
        }
        return std::string_view(start, got) == kMark;
    } catch (const FileFailure&) {
        return false;  // the batch has named the file and its fault
    }
}

}  // namespace

std::vector<std::string> filesWithByteOrderMark(const BatchRequest& request) {
    std::vector<std::string> marked;
    std::unordered_set<std::string> seen;
    VerifyJob job = makeJob(request);
    for (const std::string& path : request.files) {
        selectFile(job, path);
        for (const std::string& file : {job.sourcePath(), job.targetPath()}) {
            const std::string found = resolvePathIgnoringCase(file);
            if (seen.insert(found).second && startsWithByteOrderMark(found)) {
                marked.push_back(found);
            }
        }
    }
    return marked;
}

std::vector<std::string> filesOfBatch(const BatchRequest& request) {
    std::vector<std::string> files;
    VerifyJob job = makeJob(request);
    for (const std::string& path : request.files) {
        selectFile(job, path);
        files.push_back(resolvePathIgnoringCase(job.sourcePath()));
        files.push_back(path);
        files.push_back(job.reportPath());
    }
    return files;
}

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
    if (request.jobs > 1 && request.files.size() > 1 && !sharesAReport(request)) {
        return verifyInParallel(request, user);
    }
    return verifyOneAtATime(request, user);
}

}  // namespace brevo
