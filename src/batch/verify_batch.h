#pragma once

#include <string>
#include <vector>

#include "batch/batch_user.h"
#include "verify/pair_outcome.h"
#include "verify/verify_job.h"

namespace brevo {

struct BatchRequest {
    std::vector<std::string> files;  // full paths of the translated files, as chosen
    std::string sourceDir;           // both end with the directory separator
    std::string targetDir;
    VerifyOptions options;
    std::string sourceLanguage = "English (US)";
    std::string targetLanguage = "English (US)";
    // Pairs verified at once. With more than one, every overwrite question is asked before
    // any work starts; the results come out exactly as one at a time would give them.
    int jobs = 1;
};

struct BatchResult {
    int fileCount = 0;
    int processed = 0;
    int failed = 0;
    int tagChangeFiles = 0;
    bool stopped = false;
    FindingCounts totals;  // over every pair
    // Every pair the batch reached, in order, when the request keeps findings.
    std::vector<PairRecord> pairs;
    // The source and target files of the batch's pairs that begin with a UTF-8 byte order
    // mark, which editors add when they save as UTF-8 and no BRX file may have. Each found once.
    std::vector<std::string> filesWithByteOrderMark;
};

// With several files, the first and the last change places unless the first sorts before the
// last; nothing else is reordered.
void orderSelection(std::vector<std::string>& files);

// Verifies every pair in turn, writing the running log and the summary through `user`.
BatchResult verifyBatch(const BatchRequest& request, BatchUser& user);

std::string summaryText(const BatchResult& result);

// Every file a batch reads or writes: per pair its source file (as found), its translated
// file and its report, whether it will be written or not.
std::vector<std::string> filesOfBatch(const BatchRequest& request);

}  // namespace brevo
