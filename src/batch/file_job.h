#pragma once

#include "batch/batch_user.h"
#include "verify/pair_outcome.h"
#include "verify/verify_job.h"

namespace brevo {

// The batch's user as the progress of a run: the two bars, and the cancel request.
class UserProgress : public RunProgress {
public:
    explicit UserProgress(BatchUser& user) : user_(user) {}
    bool step() override {
        user_.stepProgress();
        user_.awaitCancelAnswer();
        return !user_.cancelRequested();
    }
    void skipStep() override { user_.skipFileStep(); }

private:
    BatchUser& user_;
};

// Yes without asking when overwriting is on or there is no report yet.
OverwriteAnswer askOverwrite(const VerifyJob& job, BatchUser& user);

struct BatchCounts {
    int processed = 0;
    int failed = 0;
};

// Writes the outcome's lines to the results list. False when its status stops the batch.
bool reportOutcome(const PairOutcome& outcome, BatchCounts& batch, int stepsPerFile,
                   BatchUser& user);

// The lines and the message of a batch that `status` stops.
void reportStop(VerifyStatus status, const BatchCounts& batch, int stepsPerFile, int fileCount,
                BatchUser& user);

}  // namespace brevo
