#pragma once

#include <string>
#include <vector>

#include "batch/batch_user.h"
#include "brx/failure.h"
#include "verify/verify_job.h"

namespace brevo {

// The counts that each run leaves for the batch.
struct ResultCounts {
    int errors = 0;
    int alerts = 0;
    int warnings = 0;
    bool any() const { return errors != 0 || alerts != 0 || warnings != 0; }
};

// Ties a run to the batch's user: progress steps, cancel, and the counts of the pair.
class BatchRunHost : public RunHost {
public:
    explicit BatchRunHost(BatchUser& user) : user_(user) {}
    void stepProgress(bool batchBarOnly) override { user_.stepProgress(batchBarOnly); }
    bool cancelRequested() const override { return user_.cancelRequested(); }
    void storeCounts(int errors, int alerts, int warnings) override {
        counts = {errors, alerts, warnings};
    }

    ResultCounts counts;

private:
    BatchUser& user_;
};

// Yes without asking when overwriting is on or there is no report yet.
OverwriteAnswer askOverwrite(const VerifyJob& job, BatchUser& user);

struct JobResult {
    VerifyStatus status = VerifyStatus::UnknownError;
    std::vector<std::string> fileErrorLines;  // the cause and the "Filename:" line
};

// Verifies one pair. Every failure comes back as a status; file failures also bring the
// lines that name them.
JobResult runJob(VerifyJob& job, RunHost& host);

struct BatchCounts {
    int processed = 0;
    int failed = 0;
};

// Writes the status's lines to the results list. False when the status stops the batch.
bool reportOutcome(VerifyStatus status, const ResultCounts& counts, BatchCounts& batch,
                   int stepsPerFile, int fileCount, BatchUser& user);

}  // namespace brevo
