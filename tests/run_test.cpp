#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/file_failure.h"
#include "brx/failure.h"
#include "test_support.h"
#include "verify/pair_outcome.h"
#include "verify/verification_run.h"

namespace brevo {
namespace {

using test::brxText;
using test::TempDir;

// Counts the steps of a run and cancels at a chosen one.
class CountingProgress : public RunProgress {
public:
    bool step() override {
        ++fullSteps;
        if (fullSteps == cancelAt) cancel = true;
        return !cancel;
    }
    void skipStep() override { ++batchOnlySteps; }

    int fullSteps = 0;
    int batchOnlySteps = 0;
    int cancelAt = -1;
    bool cancel = false;
};

const std::string kCleanBody =
    "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello <:b>world<:/b>\n</page>\n</file \"x\">\n"
    "</brx>\n";

struct Pair {
    TempDir source;
    TempDir target;
    VerifyJob job;

    Pair(const std::string& sourceBytes, const std::string& targetBytes) {
        source.write("a.txt", sourceBytes);
        target.write("a.txt", targetBytes);
        job.sourceDir = source.dir();
        job.targetDir = target.dir();
        job.baseName.assign(1, 'a');
        job.extension = std::string(".TXT");  // found as a.txt regardless of case
    }
};

struct Outcome {
    VerifyStatus status = VerifyStatus::UnknownError;
    FileErrorCause fileCause = FileErrorCause::None;
    std::string fileName;
    FindingCounts counts;
};

Outcome runPair(VerifyJob& job, CountingProgress& progress) {
    const PairOutcome pair = verifyPair(job, progress);
    Outcome outcome{pair.status, FileErrorCause::None, "", pair.counts};
    if (pair.fileFailure) {
        outcome.fileCause = pair.fileFailure->cause;
        outcome.fileName = pair.fileFailure->fileName;
    }
    return outcome;
}

TEST(Run, CleanPairCompletesWithoutReportInExactly24Steps) {
    Pair pair(brxText(kCleanBody, "French"), brxText(kCleanBody, "French"));
    CountingProgress host;
    const Outcome outcome = runPair(pair.job, host);
    EXPECT_EQ(outcome.status, VerifyStatus::Completed);
    EXPECT_EQ(host.fullSteps, 24);
    EXPECT_EQ(host.batchOnlySteps, 0);
    EXPECT_EQ(outcome.counts, FindingCounts{});
    EXPECT_FALSE(std::filesystem::exists(pair.target.path() / "a.CMP"));
    // The target's header language is the one left for the next pair.
    EXPECT_EQ(pair.job.languages.sourceLanguage, "French");
}

TEST(Run, LoadFailuresEndThePairAndFillTheBatchBar) {
    struct Case {
        std::string source;
        std::string target;
        VerifyStatus status;
    };
    const Case cases[] = {
        {"", brxText(kCleanBody), VerifyStatus::UnexpectedEnd},
        {"\n<brx \"I2.00\">\n", brxText(kCleanBody), VerifyStatus::NotBrx},
        {brxText(kCleanBody), "<brx \"I2.01\">\n", VerifyStatus::NewerVersion},
        {brxText(kCleanBody), "<tf>\n", VerifyStatus::FrameMakerFile},
        {brxText(kCleanBody), brxText(kCleanBody, "Klingon"), VerifyStatus::InvalidLanguage},
        {brxText(kCleanBody), "<brx \"I2.00\">\n<language \"German\">\n<quotes \"As text\">\n",
         VerifyStatus::UnexpectedEnd},
    };
    for (const Case& c : cases) {
        Pair pair(c.source, c.target);
        CountingProgress host;
        EXPECT_EQ(runPair(pair.job, host).status, c.status);
        EXPECT_EQ(host.fullSteps + host.batchOnlySteps, 24);
        EXPECT_FALSE(std::filesystem::exists(pair.target.path() / "a.CMP"));
    }
}

TEST(Run, MissingSourceIsAFileFailureNamingTheFile) {
    Pair pair(brxText(kCleanBody), brxText(kCleanBody));
    std::filesystem::remove(pair.source.path() / "a.txt");
    CountingProgress host;
    Outcome outcome = runPair(pair.job, host);
    EXPECT_EQ(outcome.status, VerifyStatus::FileError);
    EXPECT_EQ(outcome.fileCause, FileErrorCause::NotFound);
    EXPECT_EQ(outcome.fileName, pair.source.dir() + "a.TXT");
    EXPECT_EQ(host.fullSteps + host.batchOnlySteps, 24);
}

TEST(Run, CancelAtAnyStepEndsThePairWithoutReport) {
    for (int step = 1; step <= 24; ++step) {
        Pair pair(brxText(kCleanBody), brxText(kCleanBody));
        CountingProgress host;
        host.cancelAt = step;
        EXPECT_EQ(runPair(pair.job, host).status, VerifyStatus::Cancelled) << step;
        EXPECT_EQ(host.fullSteps, step);
        EXPECT_EQ(host.fullSteps + host.batchOnlySteps, 24);
    }
}

TEST(Run, UnderlineIsAsLongAsTheHeadingText) {
    EXPECT_EQ(detail::underlineFor("\nVerify external source tags"), std::string(27, '=') + "\n");
    EXPECT_EQ(detail::underlineFor("abc"), "===\n");
}

}  // namespace
}  // namespace brevo
