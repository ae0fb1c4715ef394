#include "app/batch/batch_controller.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace brevo::app {
namespace {

using Clock = std::chrono::steady_clock;

// Often enough for bars and a list that move smoothly; rarely enough that a batch of small
// pairs does not fill the window's queue with lines and positions one at a time.
constexpr auto kProgressInterval = std::chrono::milliseconds(20);

QByteArray bytesOf(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The batch's user on the worker thread: every call becomes a queued signal of the controller.
class WorkerUser : public BatchUser {
public:
    WorkerUser(BatchController& controller, BatchRun& run) : controller_(controller), run_(run) {}

    void appendResultLine(std::string_view line) override {
        entries_->push_back({ResultsEntry::Kind::Line, std::string(line), nullptr});
    }
    void startProgress(int stepsPerFile, int batchSteps) override {
        stepsPerFile_ = stepsPerFile;
        emit controller_.progressStarted(stepsPerFile, batchSteps);
    }
    void startFile(std::string_view) override {
        filePosition_ = 0;
        entries_->push_back({ResultsEntry::Kind::PairStart, {}, nullptr});
        showProgress();
    }
    void stepProgress() override {
        filePosition_ = std::min(filePosition_ + 1, stepsPerFile_);
        skipFileStep();
    }
    void skipFileStep() override {
        ++batchPosition_;
        showProgress();
    }
    void setFileProgress(int position) override {
        filePosition_ = position;
        showProgress();
    }
    void setBatchProgress(int position) override {
        batchPosition_ = position;
        showProgress();
    }
    bool cancelRequested() override { return run_.stopped(); }
    bool askingToCancel() override { return run_.held(); }
    void awaitCancelAnswer() override { run_.stopAfterHold(); }

    OverwriteAnswer askOverwrite(std::string_view question) override {
        if (yesToAll_) return OverwriteAnswer::Yes;
        // One question at a time: this one waits until the cancel question is answered.
        if (run_.stopAfterHold()) return OverwriteAnswer::Cancel;
        showProgressNow();  // the question comes after the lines before it
        emit controller_.overwriteAsked(bytesOf(question));
        const OverwriteReply reply = run_.awaitAnswer();
        yesToAll_ = reply.toAll && reply.answer == OverwriteAnswer::Yes;
        return reply.answer;
    }
    void showSummary(std::string_view text) override { end_ = {bytesOf(text), false}; }
    void showStop(std::string_view text) override { end_ = {bytesOf(text), true}; }
    void finishPair(const PairRecord& record) override {
        entries_->push_back(
            {ResultsEntry::Kind::PairEnd, {}, std::make_shared<const PairRecord>(record)});
        showProgress();
    }

    void finish() {
        showProgressNow();
        emit controller_.ended(end_);
    }

private:
    // Every bar position redraws the bars at once (QProgressBar repaints in setValue), so they
    // go at most every kProgressInterval.
    void showProgress() {
        if (Clock::now() - lastShown_ >= kProgressInterval) showProgressNow();
    }

    // Sends the results written so far, then where the bars stand.
    void showProgressNow() {
        lastShown_ = Clock::now();
        if (!entries_->empty()) {
            emit controller_.resultsAdded(std::move(entries_));
            entries_ = std::make_shared<ResultsEntries>();
        }
        emit controller_.progressChanged(filePosition_, batchPosition_);
    }

    BatchController& controller_;
    BatchRun& run_;
    int stepsPerFile_ = 0;
    int filePosition_ = 0;
    int batchPosition_ = 0;
    Clock::time_point lastShown_{};
    bool yesToAll_ = false;
    BatchEnd end_;
    std::shared_ptr<ResultsEntries> entries_ = std::make_shared<ResultsEntries>();
};

}  // namespace

void BatchRun::stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
}

void BatchRun::hold() {
    held_ = true;
}

void BatchRun::release() {
    {
        std::lock_guard lock(mutex_);
        held_ = false;
    }
    changed_.notify_all();
}

bool BatchRun::stopAfterHold() {
    if (held_.load()) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !held_.load() || stop_.load(); });
    }
    return stop_.load();
}

OverwriteReply BatchRun::awaitAnswer() {
    // The answer may have come before the worker got here: it is taken, never cleared first.
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return answer_ || stop_.load(); });
    if (stop_) return {};
    const OverwriteReply reply = *answer_;
    answer_.reset();
    return reply;
}

void BatchRun::answer(OverwriteReply reply) {
    {
        std::lock_guard lock(mutex_);
        answer_ = reply;
    }
    changed_.notify_all();
}

BatchController::BatchController(QObject* parent) : QObject(parent) {
    qRegisterMetaType<std::shared_ptr<const ResultsEntries>>();
    qRegisterMetaType<BatchEnd>();
    // Connected first, so the worker is gone before anyone else hears of the end.
    connect(this, &BatchController::ended, this, &BatchController::join, Qt::QueuedConnection);
}

BatchController::~BatchController() {
    stopAndWait();
}

void BatchController::start(BatchRequest request) {
    if (running()) return;
    run_ = std::make_shared<BatchRun>();
    worker_ = std::thread([this, run = run_, request = std::move(request)] {
        WorkerUser user(*this, *run);
        try {
            verifyBatch(request, user);
        } catch (const std::exception&) {
            // Pairs end in their own statuses; this is a batch that could not even be kept
            // (out of memory): it ends as stopped rather than taking the program down.
            user.showStop("A memory error has occurred!");
        }
        user.finish();
    });
}

void BatchController::answerOverwrite(OverwriteReply reply) {
    if (run_) run_->answer(reply);
}

void BatchController::stopAndWait() {
    if (run_) run_->stop();
    join();
}

void BatchController::join() {
    if (worker_.joinable()) worker_.join();
    run_.reset();
}

}  // namespace brevo::app
