#pragma once

#include <string>
#include <string_view>

#include "verify/pair_outcome.h"

namespace brevo {

enum class OverwriteAnswer { Yes, No, Cancel, Other };

// A pair as pipelines and the window read it: its files and how its verification ended.
struct PairRecord {
    std::string sourcePath;
    std::string targetPath;
    std::string reportPath;  // where its report is, written or not
    PairOutcome outcome;
};

// Whoever runs a batch for the user: a terminal or a window. The batch talks to it alone.
class BatchUser {
public:
    virtual ~BatchUser() = default;

    // The running log of the batch.
    virtual void appendResultLine(std::string_view line) = 0;

    // The file bar runs 0..stepsPerFile for each pair, the batch bar 0..batchSteps overall.
    virtual void startProgress(int stepsPerFile, int batchSteps) = 0;
    // The next pair, by the path of its translated file, as the results list names it.
    virtual void startFile(std::string_view path) = 0;
    // A step of the pair: both bars move. A step the run did not reach moves the batch bar only.
    virtual void stepProgress() = 0;
    virtual void skipFileStep() = 0;
    virtual void setFileProgress(int position) = 0;
    virtual void setBatchProgress(int position) = 0;

    // Polled at every progress step.
    virtual bool cancelRequested() = 0;
    // A window may ask whether to cancel while the batch runs. The batch then waits in
    // awaitCancelAnswer() for the answer, with every pair it verifies held at its next step, as
    // a batch run inside the question would.
    virtual bool askingToCancel() { return false; }
    virtual void awaitCancelAnswer() {}

    virtual OverwriteAnswer askOverwrite(std::string_view question) = 0;
    // The record of a pair, after its results lines and before any that stop the batch; only
    // when the request keeps findings.
    virtual void finishPair(const PairRecord&) {}

    // The closing summary of a finished batch, and the message of a stopped one.
    virtual void showSummary(std::string_view text) = 0;
    virtual void showStop(std::string_view text) = 0;
};

}  // namespace brevo
