#pragma once

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "app/model/results_log.h"
#include "batch/batch_user.h"
#include "batch/verify_batch.h"

namespace brevo::app {

// The window's answer to the overwrite question; "Yes to All" answers every later one too.
struct OverwriteReply {
    OverwriteAnswer answer = OverwriteAnswer::Cancel;
    bool toAll = false;
};

// The stop request and the pending question of one batch. A Cancel answered after its batch
// has ended stops a batch that is over, never the next one.
class BatchRun {
public:
    void stop();
    bool stopped() const { return stop_.load(); }

    // While the window asks whether to cancel, the batch waits at its next step, as it would if
    // the question were asked inside that step: nothing moves on under the question, and the
    // batch does not end beneath it. release() lets it go on; stop() ends it.
    void hold();
    void release();
    bool held() const { return held_.load(); }
    // On the worker: waits while the batch is held; true once it is stopped.
    bool stopAfterHold();

    // On the worker: waits for the window's answer, or Cancel once the batch is stopped.
    OverwriteReply awaitAnswer();
    void answer(OverwriteReply reply);

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> held_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<OverwriteReply> answer_;
};

// How a batch ended, for the message the window shows.
struct BatchEnd {
    QByteArray message;
    bool stopped = false;  // cancelled, or failed beyond going on: the stop icon
};

// Owns the thread a batch runs on. What the batch tells its user reaches the window as queued
// signals, so the worker never waits for the window; it waits only for the answer to a
// question: the overwrite question's, or whether to cancel while that is asked.
class BatchController : public QObject {
    Q_OBJECT

public:
    explicit BatchController(QObject* parent = nullptr);
    // Stops a running batch and waits for its end.
    ~BatchController() override;

    void start(BatchRequest request);
    bool running() const { return worker_.joinable(); }
    // The run of the batch going on now, or none.
    std::shared_ptr<BatchRun> currentRun() const { return run_; }
    void answerOverwrite(OverwriteReply reply);
    // Stops the batch at its next step and waits until its worker has ended; the end itself
    // still comes through the event loop, after every line.
    void stopAndWait();

signals:
    void progressStarted(int stepsPerFile, int batchSteps);
    void progressChanged(int filePosition, int batchPosition);
    // What the batch wrote since the last of these, at most every few milliseconds.
    void resultsAdded(std::shared_ptr<const brevo::app::ResultsEntries> entries);
    void overwriteAsked(const QByteArray& question);
    // Last of all: the worker has ended.
    void ended(const brevo::app::BatchEnd& end);

private:
    void join();

    std::shared_ptr<BatchRun> run_;
    std::thread worker_;
};

}  // namespace brevo::app

Q_DECLARE_METATYPE(std::shared_ptr<const brevo::app::ResultsEntries>)
Q_DECLARE_METATYPE(brevo::app::BatchEnd)
