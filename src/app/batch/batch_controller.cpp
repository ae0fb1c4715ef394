#include "app/batch/batch_controller.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace brevo::app {
namespace {

using Clock = std::chrono::steady_clock;

// Often enough for bars that move smoothly; rarely enough that a batch of small pairs does not
// fill the window's queue with positions nobody sees.
constexpr auto kProgressInterval = std::chrono::milliseconds(20);

QByteArray bytesOf(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The batch's user on the worker thread: every call becomes a queued signal of the controller.
class WorkerUser : public BatchUser {
public:
    WorkerUser(BatchController& controller, BatchRun& run) : controller_(controller), run_(run) {}

    void appendResultLine(std::string_view line) override {
        emit controller_.lineAdded(bytesOf(line));
    }
    void startProgress(int stepsPerFile, int batchSteps) override {
        stepsPerFile_ = stepsPerFile;
        emit controller_.progressStarted(stepsPerFile, batchSteps);
    }
    void startFile(std::string_view) override {
        filePosition_ = 0;
        showProgress();
        emit controller_.pairStarted();
    }
    void stepProgress() override {
        filePosition_ = std::min(filePosition_ + 1, stepsPerFile_);
        skipFileStep();
    }
    void skipFileStep() override {
        ++batchPosition_;
        if (Clock::now() - lastShown_ >= kProgressInterval) showProgress();
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

    OverwriteAnswer askOverwrite(std::string_view question) override {
        if (yesToAll_) return OverwriteAnswer::Yes;
        showProgress();
        emit controller_.overwriteAsked(bytesOf(question));
        const OverwriteReply reply = run_.awaitAnswer();
        yesToAll_ = reply.toAll && reply.answer == OverwriteAnswer::Yes;
        return reply.answer;
    }
    void showSummary(std::string_view text) override { end_ = {bytesOf(text), false}; }
    void showStop(std::string_view text) override { end_ = {bytesOf(text), true}; }
    void finishPair(const PairRecord& record) override {
        emit controller_.pairFinished(std::make_shared<const PairRecord>(record));
    }

    void finish() {
        showProgress();
        emit controller_.ended(end_);
    }

private:
    void showProgress() {
        lastShown_ = Clock::now();
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
};

}  // namespace

void BatchRun::stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
}

OverwriteReply BatchRun::awaitAnswer() {
    std::unique_lock lock(mutex_);
    answer_.reset();
    changed_.wait(lock, [this] { return answer_ || stop_.load(); });
    if (stop_) return {};
    return *answer_;
}

void BatchRun::answer(OverwriteReply reply) {
    {
        std::lock_guard lock(mutex_);
        answer_ = reply;
    }
    changed_.notify_all();
}

BatchController::BatchController(QObject* parent) : QObject(parent) {
    qRegisterMetaType<std::shared_ptr<const PairRecord>>();
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
