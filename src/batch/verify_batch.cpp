#include "batch/verify_batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
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

// The pair's files, as found, that begin with a byte order mark.
std::vector<std::string> markedFilesOf(const VerifyJob& job) {
    std::vector<std::string> marked;
    for (const std::string& file : {job.sourcePath(), job.targetPath()}) {
        std::string found = resolvePathIgnoringCase(file);
        if (startsWithByteOrderMark(found)) marked.push_back(std::move(found));
    }
    return marked;
}

// What the batch keeps of a pair once its lines are written: the record only when the request
// keeps findings, so that a long batch holds nothing per pair.
struct FinishedPair {
    PairRecord record;
    std::vector<std::string> markedFiles;
};

FinishedPair finishedPair(const VerifyJob& job, PairOutcome outcome) {
    FinishedPair pair;
    // A mark in front of the first line makes a file no BRX (or RTF) file, so a pair that
    // completed has none.
    if (outcome.status != VerifyStatus::Completed) pair.markedFiles = markedFilesOf(job);
    if (job.options.keepFindings) {
        pair.record.sourcePath = resolvePathIgnoringCase(job.sourcePath());
        pair.record.targetPath = resolvePathIgnoringCase(job.targetPath());
        pair.record.reportPath = job.reportPath();
    }
    pair.record.outcome = std::move(outcome);
    return pair;
}

// The bookkeeping of one batch: what the results list shows after each pair.
class BatchLog {
public:
    BatchLog(const BatchRequest& request, BatchUser& user)
        : request_(request), user_(user), keep_(request.options.keepFindings) {
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
    bool finishPair(FinishedPair pair) {
        ++reached_;
        const PairOutcome& outcome = pair.record.outcome;
        if (outcome.counts.any()) ++result_.tagChangeFiles;
        result_.totals.errors += outcome.counts.errors;
        result_.totals.alerts += outcome.counts.alerts;
        result_.totals.warnings += outcome.counts.warnings;
        const bool goOn = reportOutcome(outcome, counts_, kStepsPerFile, user_);
        result_.stopped = !goOn;
        const VerifyStatus status = outcome.status;
        for (std::string& file : pair.markedFiles) noteMarked(std::move(file));
        if (keep_) {
            result_.pairs.push_back(std::move(pair.record));
            user_.finishPair(result_.pairs.back());
        }
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
        noteMarkedInPairsNotReached();
        return std::move(result_);
    }

private:
    void noteMarked(std::string file) {
        std::vector<std::string>& marked = result_.filesWithByteOrderMark;
        if (std::find(marked.begin(), marked.end(), file) == marked.end()) {
            marked.push_back(std::move(file));
        }
    }

    // A stopped batch still names the marked files of the pairs it did not reach.
    void noteMarkedInPairsNotReached() {
        VerifyJob job = makeJob(request_);
        for (std::size_t i = reached_; i < request_.files.size(); ++i) {
            selectFile(job, request_.files[i]);
            for (std::string& file : markedFilesOf(job)) noteMarked(std::move(file));
        }
    }

    const BatchRequest& request_;
    BatchUser& user_;
    BatchResult result_;
    BatchCounts counts_;
    std::size_t reached_ = 0;
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
        if (!log.finishPair(finishedPair(job, std::move(outcome)))) break;
    }
    return log.finish();
}

// The answers to the overwrite questions of a batch asked before any pair starts: the number
// asked, and only those that are not Yes, as those are few.
class Answers {
public:
    void add(OverwriteAnswer answer) {
        if (answer != OverwriteAnswer::Yes) others_.emplace_back(asked_, answer);
        ++asked_;
    }
    std::size_t asked() const { return asked_; }
    OverwriteAnswer at(std::size_t index) const {
        const auto found =
            std::lower_bound(others_.begin(), others_.end(), index,
                             [](const std::pair<std::size_t, OverwriteAnswer>& other,
                                std::size_t wanted) { return other.first < wanted; });
        return found != others_.end() && found->first == index ? found->second
                                                               : OverwriteAnswer::Yes;
    }

private:
    std::size_t asked_ = 0;
    std::vector<std::pair<std::size_t, OverwriteAnswer>> others_;  // by index
};

// Runs pairs on worker threads. Workers never talk to the user: they count progress steps
// and read a cancel flag that the waiting thread keeps up to date. A finished pair waits in a
// ring of slots until its turn in the results comes; a worker that would run further ahead
// than the ring holds waits, so that a batch holds nothing per pair.
class PairPool {
public:
    PairPool(const BatchRequest& request, const Answers& answers, int threads)
        : request_(request), answers_(answers), ring_(kRingSlots) {
        std::size_t toVerify = 0;
        for (std::size_t i = 0; i < answers.asked(); ++i) {
            if (answers.at(i) == OverwriteAnswer::Yes) ++toVerify;
        }
        const int count = std::clamp(threads, 1, std::max(1, static_cast<int>(toVerify)));
        for (int i = 0; i < count; ++i) workers_.emplace_back([this] { work(); });
    }

    ~PairPool() {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
            cancel_ = true;
            held_ = false;
        }
        roomFreed_.notify_all();
        released_.notify_all();
        for (std::thread& worker : workers_) worker.join();
    }

    // Waits for pair `index`, passing on a cancel. The batch bar counts the steps of every
    // pair; the file bar shows the steps of this one, whose line the results show last.
    FinishedPair take(std::size_t index, BatchUser& user) {
        Slot& slot = slotOf(index);
        int shownFileSteps = 0;
        for (bool napped = false;; napped = true) {
            forwardProgress(user);
            if (const int fileSteps = slot.steps; fileSteps != shownFileSteps) {
                user.setFileProgress(fileSteps);
                shownFileSteps = fileSteps;
            }
            if (user.askingToCancel()) {
                holdWorkers(true);
                user.awaitCancelAnswer();
                holdWorkers(false);
            }
            if (user.cancelRequested()) stop();
            if (slot.ready) return release(index, slot);
            awaitPair(index, napped);
        }
    }

    // The pair at `index` is not verified: its place in the ring is free for those after it.
    void skip(std::size_t index) { passOver(index); }

    // Every run still to come ends at its first step; each pair is still handed over, so that
    // the one waited for comes.
    void stop() { cancel_ = true; }

private:
    // Small pairs finish thousands a second: the waiting thread takes them in bunches after a
    // nap rather than being woken for each; only a pair that outlasts the nap wakes it.
    static constexpr std::chrono::milliseconds kNap{5};
    static constexpr std::chrono::milliseconds kCancelPoll{50};
    static constexpr std::size_t kRingSlots = 256;
    static constexpr std::size_t kNobody = std::numeric_limits<std::size_t>::max();

    struct Slot {
        std::optional<FinishedPair> pair;
        std::atomic<bool> ready{false};
        std::atomic<int> steps{0};  // the steps its pair has taken
    };

    class WorkerProgress : public RunProgress {
    public:
        WorkerProgress(PairPool& pool, Slot& slot) : pool_(pool), slot_(slot) {}
        bool step() override {
            slot_.steps.fetch_add(1, std::memory_order_relaxed);
            pool_.steps_.fetch_add(1, std::memory_order_relaxed);
            pool_.waitWhileHeld();
            return !pool_.cancel_.load(std::memory_order_relaxed);
        }
        void skipStep() override { pool_.steps_.fetch_add(1, std::memory_order_relaxed); }

    private:
        PairPool& pool_;
        Slot& slot_;
    };

    Slot& slotOf(std::size_t index) { return ring_[index % ring_.size()]; }

    void holdWorkers(bool hold) {
        {
            std::lock_guard lock(mutex_);
            held_ = hold;
        }
        if (!hold) released_.notify_all();
    }

    void waitWhileHeld() {
        if (!held_.load()) return;
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return !held_.load(); });
    }

    void awaitPair(std::size_t index, bool napped) {
        std::unique_lock lock(mutex_);
        if (napped) wanted_ = index;
        if (!slotOf(index).ready) finished_.wait_for(lock, napped ? kCancelPoll : kNap);
        wanted_ = kNobody;
    }

    FinishedPair release(std::size_t index, Slot& slot) {
        FinishedPair pair = std::move(*slot.pair);
        slot.pair.reset();
        slot.steps = 0;
        slot.ready = false;
        passOver(index);
        return pair;
    }

    void passOver(std::size_t index) {
        std::lock_guard lock(mutex_);
        taken_ = index + 1;
        if (waitingForRoom_ > 0) roomFreed_.notify_all();
    }

    // The next pair to verify, waiting while the ring is full; nothing when there is none.
    std::optional<std::size_t> claim() {
        std::unique_lock lock(mutex_);
        while (next_ < answers_.asked() && answers_.at(next_) != OverwriteAnswer::Yes) ++next_;
        if (next_ >= answers_.asked()) return std::nullopt;
        ++waitingForRoom_;
        roomFreed_.wait(lock, [&] { return quit_ || next_ < taken_ + ring_.size(); });
        --waitingForRoom_;
        if (quit_) return std::nullopt;
        return next_++;
    }

    void work() {
        VerifyJob job = makeJob(request_);
        while (const std::optional<std::size_t> index = claim()) {
            selectFile(job, request_.files[*index]);
            Slot& slot = slotOf(*index);
            WorkerProgress progress(*this, slot);
            slot.pair = finishedPair(job, verifyPair(job, progress));
            slot.ready = true;
            if (wanted_ == *index) {
                std::lock_guard lock(mutex_);
                finished_.notify_one();
            }
        }
    }

    void forwardProgress(BatchUser& user) {
        for (int now = steps_; shownSteps_ < now; ++shownSteps_) user.skipFileStep();
    }

    const BatchRequest& request_;
    const Answers& answers_;
    std::vector<Slot> ring_;
    std::atomic<int> steps_{0};
    std::atomic<bool> cancel_{false};
    std::atomic<std::size_t> wanted_{kNobody};  // the pair the waiting thread must be woken for
    int shownSteps_ = 0;
    std::mutex mutex_;
    std::size_t next_ = 0;   // the next pair a worker may claim
    std::size_t taken_ = 0;  // pairs before this one have left the ring
    bool quit_ = false;      // no pair is wanted any more
    int waitingForRoom_ = 0;
    std::condition_variable finished_;
    std::condition_variable roomFreed_;
    std::atomic<bool> held_{false};  // while the user is asked whether to cancel
    std::condition_variable released_;
    std::vector<std::thread> workers_;
};

BatchResult verifyInParallel(const BatchRequest& request, BatchUser& user) {
    BatchLog log(request, user);
    // Every question first, in order; a Cancel ends the asking and, later, the batch.
    Answers answers;
    VerifyJob job = makeJob(request);
    for (const std::string& path : request.files) {
        selectFile(job, path);
        const OverwriteAnswer answer = askOverwrite(job, user);
        answers.add(answer);
        if (answer == OverwriteAnswer::Cancel) break;
    }

    // The directories are listed once, here, where the names are looked up first, rather than
    // by one worker while the others wait for it.
    if (!request.files.empty()) {
        selectFile(job, request.files.front());
        resolvePathIgnoringCase(job.sourcePath());
        resolvePathIgnoringCase(job.targetPath());
    }
    PairPool pool(request, answers, request.jobs);
    for (std::size_t i = 0; i < answers.asked(); ++i) {
        const std::string& path = request.files[i];
        log.startPair(path);
        const OverwriteAnswer answer = answers.at(i);
        FinishedPair pair;
        if (answer == OverwriteAnswer::Yes) {
            pair = pool.take(i, user);
        } else {
            pool.skip(i);
            selectFile(job, path);
            pair = finishedPair(job, outcomeWithout(answer));
        }
        if (!log.finishPair(std::move(pair))) {
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

}  // namespace

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
