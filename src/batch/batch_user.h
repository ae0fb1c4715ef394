#pragma once

#include <string_view>

namespace brevo {

enum class OverwriteAnswer { Yes, No, Cancel, Other };

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

    virtual OverwriteAnswer askOverwrite(std::string_view question) = 0;
    // The closing summary of a finished batch, and the message of a stopped one.
    virtual void showSummary(std::string_view text) = 0;
    virtual void showStop(std::string_view text) = 0;
};

}  // namespace brevo
