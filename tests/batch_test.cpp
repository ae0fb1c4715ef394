#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_names.h"
#include "batch/batch_plan.h"
#include "batch/file_job.h"
#include "batch/status_messages.h"
#include "batch/verify_batch.h"
#include "test_support.h"

namespace brevo {
namespace {

using test::brxText;
using test::TempDir;

class RecordingUser : public BatchUser {
public:
    void appendResultLine(std::string_view line) override { lines.emplace_back(line); }
    void startProgress(int, int batchSteps) override { batchRange = batchSteps; }
    void startFile(std::string_view) override { filePositions.emplace_back(); }
    void stepProgress() override { ++batchPosition; }
    void skipFileStep() override { ++batchPosition; }
    void setFileProgress(int position) override {
        if (!filePositions.empty()) filePositions.back().push_back(position);
    }
    void setBatchProgress(int position) override { batchPosition = position; }
    bool cancelRequested() override { return false; }
    OverwriteAnswer askOverwrite(std::string_view question) override {
        questions.emplace_back(question);
        OverwriteAnswer answer = answers.empty() ? OverwriteAnswer::Yes : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void showSummary(std::string_view text) override { summary = text; }
    void showStop(std::string_view text) override { stop = text; }
    void finishPair(const PairRecord& record) override {
        records.push_back(record);
        linesAtRecord.push_back(lines.size());
    }

    // The lines after the date block.
    std::vector<std::string> body() const { return {lines.begin() + 3, lines.end()}; }

    std::vector<std::string> lines;
    std::vector<std::string> questions;
    std::deque<OverwriteAnswer> answers;
    std::string summary;
    std::string stop;
    std::vector<PairRecord> records;
    std::vector<std::size_t> linesAtRecord;       // how many lines there were as each record came
    std::vector<std::vector<int>> filePositions;  // the File bar's positions, pair by pair
    int batchRange = 0;
    int batchPosition = 0;
};

const std::string kClean =
    "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello\n</page>\n</file \"x\">\n</brx>\n";
const std::string kLine84(84, '_');

struct Batch {
    TempDir source;
    TempDir target;
    BatchRequest request;

    Batch() {
        request.sourceDir = source.dir();
        request.targetDir = target.dir();
    }
    void addPair(const std::string& name, const std::string& sourceBytes,
                 const std::string& targetBytes) {
        source.write(name, sourceBytes);
        request.files.push_back(target.write(name, targetBytes));
    }
};

TEST(Batch, CleanPairsAreVerified) {
    Batch batch;
    batch.addPair("a.txt", brxText(kClean), brxText(kClean));
    batch.addPair("b.txt", brxText(kClean), brxText(kClean));
    RecordingUser user;
    BatchResult result = verifyBatch(batch.request, user);
    ASSERT_GE(user.lines.size(), 3u);
    EXPECT_EQ(user.lines[0], "");
    EXPECT_FALSE(user.lines[1].empty());
    EXPECT_EQ(user.lines[2], "");
    EXPECT_EQ(user.body(), (std::vector<std::string>{
                               "Verifying " + batch.target.dir() + "a.txt",
                               "Verification complete!",
                               "",
                               "Verifying " + batch.target.dir() + "b.txt",
                               "Verification complete!",
                               "",
                               kLine84,
                           }));
    EXPECT_EQ(user.summary, "2 file(s) verified.");
    EXPECT_EQ(result.failed, 0);
    EXPECT_EQ(user.batchPosition, user.batchRange);
    EXPECT_EQ(user.batchRange, 48);
}

TEST(Batch, FailuresAreListedAndTheBatchGoesOn) {
    Batch batch;
    batch.addPair("a.txt", brxText(kClean), "<tfi>\n");
    batch.request.files.push_back(batch.target.write("b.txt", brxText(kClean)));  // no source
    batch.addPair("c.txt", brxText(kClean), brxText(kClean));
    RecordingUser user;
    BatchResult result = verifyBatch(batch.request, user);
    EXPECT_EQ(user.body(), (std::vector<std::string>{
                               "Verifying " + batch.target.dir() + "a.txt",
                               "Verification failed! This file is not a valid BRX file.",
                               "BRX files must begin with the tag <brx \"I2.xx\">.",
                               "",
                               "Verifying " + batch.target.dir() + "b.txt",
                               "File Error! The file could not be located.",
                               "Filename:" + batch.source.dir() + "b.TXT",
                               "",
                               "Verifying " + batch.target.dir() + "c.txt",
                               "Verification complete!",
                               "",
                               kLine84,
                           }));
    EXPECT_EQ(result.failed, 2);
    EXPECT_EQ(user.summary, "1 file(s) verified.\n2 file(s) could not be fully verified.");
}

TEST(Batch, OverwriteQuestionNoAndCancel) {
    Batch batch;
    batch.addPair("a.txt", brxText(kClean), brxText(kClean));
    batch.addPair("b.txt", brxText(kClean), brxText(kClean));
    batch.addPair("c.txt", brxText(kClean), brxText(kClean));
    batch.target.write("a.CMP", "old");
    batch.target.write("b.CMP", "old");
    batch.target.write("c.cmp", "not the report of c.txt");
    RecordingUser user;
    user.answers = {OverwriteAnswer::No, OverwriteAnswer::Cancel};
    BatchResult result = verifyBatch(batch.request, user);
    ASSERT_EQ(user.questions.size(), 2u);
    EXPECT_EQ(user.questions[0], "Do you want to overwrite the file:\n" + batch.target.dir() +
                                     "a.CMP\nCancel terminates the batch.");
    EXPECT_EQ(user.questions[1], "Do you want to overwrite the file:\n" + batch.target.dir() +
                                     "b.CMP\nCancel terminates the batch.");
    EXPECT_EQ(user.body(), (std::vector<std::string>{
                               "Verifying " + batch.target.dir() + "a.txt",
                               "Verification failed! Cancelled by user.",
                               "",
                               "Verifying " + batch.target.dir() + "b.txt",
                               "Verification failed! Cancelled by user.",
                               "",
                               kLine84,
                               "",
                               "The batch was cancelled.",
                               kLine84,
                           }));
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(user.stop, "The batch was cancelled! 0 file(s) verified.");
    EXPECT_TRUE(user.summary.empty());
    EXPECT_EQ(test::readFile(batch.target.path() / "a.CMP"), "old");
    EXPECT_EQ(user.batchPosition, user.batchRange);
}

TEST(Batch, OverwriteOptionAsksNothing) {
    Batch batch;
    batch.addPair("a.txt", brxText(kClean), brxText(kClean));
    batch.target.write("a.CMP", "old");
    batch.request.options.overwriteFiles = true;
    RecordingUser user;
    verifyBatch(batch.request, user);
    EXPECT_TRUE(user.questions.empty());
    EXPECT_EQ(user.summary, "Files verified.");
}

TEST(Batch, SelectionOrderSwapsOnlyFirstAndLast) {
    std::vector<std::string> files = {"b", "a", "c"};
    orderSelection(files);
    EXPECT_EQ(files, (std::vector<std::string>{"b", "a", "c"}));
    files = {"c", "a", "b"};
    orderSelection(files);
    EXPECT_EQ(files, (std::vector<std::string>{"b", "a", "c"}));
    files = {"a", "a"};
    orderSelection(files);
    EXPECT_EQ(files, (std::vector<std::string>{"a", "a"}));
}

TEST(Batch, EveryPairHandsOnItsRecordAfterItsLines) {
    Batch batch;
    batch.addPair("a.txt", brxText(kClean), brxText(kClean));
    batch.addPair("b.txt", brxText(kClean), brxText(kClean));
    batch.target.write("b.CMP", "old");
    batch.request.options.keepFindings = true;
    RecordingUser user;
    user.answers = {OverwriteAnswer::Cancel};
    verifyBatch(batch.request, user);
    ASSERT_EQ(user.records.size(), 2u);
    EXPECT_EQ(user.records[0].reportPath, batch.target.dir() + "a.CMP");
    EXPECT_EQ(user.records[0].outcome.status, VerifyStatus::Completed);
    EXPECT_EQ(user.records[1].targetPath, batch.target.dir() + "b.txt");
    EXPECT_EQ(user.records[1].outcome.status, VerifyStatus::BatchCancelled);
    // Each record follows the blank line that ends its pair; the stop lines come after it.
    EXPECT_EQ(user.lines[user.linesAtRecord[0] - 1], "");
    EXPECT_EQ(user.lines[user.linesAtRecord[0]], "Verifying " + batch.target.dir() + "b.txt");
    EXPECT_EQ(user.lines.size() - user.linesAtRecord[1], 4u);
    EXPECT_EQ(user.lines.back(), kLine84);
}

TEST(BatchPlan, FilesAreCheckedOrderedAndCarryTheOptions) {
    TempDir target;
    const std::string c = target.write("c.txt", "x");
    const std::string a = target.write("a.txt", "x");
    const std::string b = target.write("b.txt", "x");
    target.write("d.rtf", "x");
    BatchRequest options;
    options.targetLanguage = "German";
    options.jobs = 3;
    BatchPlan plan = planFiles({c, a, target.dir() + "d.rtf", b, a}, std::nullopt, options);
    EXPECT_EQ(plan.request.files, (std::vector<std::string>{b, a, c}));
    EXPECT_EQ(plan.request.targetDir, target.dir());
    EXPECT_EQ(plan.request.options.fileFormat, FileFormat::Text);
    EXPECT_EQ(plan.request.targetLanguage, "German");
    EXPECT_EQ(plan.request.jobs, 3);
    ASSERT_EQ(plan.rejected.size(), 1u);
    EXPECT_EQ(plan.rejected[0].reason, "not a .txt file");
    EXPECT_FALSE(plan.severalDirectories);

    TempDir other;
    plan = planFiles({a, other.write("e.txt", "x")}, FileFormat::Text, options);
    EXPECT_TRUE(plan.severalDirectories);
    EXPECT_EQ(plan.request.files, (std::vector<std::string>{a}));
}

TEST(BatchPlan, TheSourceDirectoryMustExistAndNotBeTheTarget) {
    TempDir root;
    root.write("source/x", "x");
    const std::string target = root.write("target/a.txt", "x");
    BatchPlan plan = planFiles({target}, std::nullopt, {});
    const std::string source = root.dir() + "source";
    EXPECT_EQ(takeSourceDirectory(plan, ""), SourceProblem::Missing);
    EXPECT_EQ(takeSourceDirectory(plan, root.dir() + "nowhere/"), SourceProblem::Missing);
    EXPECT_EQ(takeSourceDirectory(plan, root.dir() + "target"), SourceProblem::SameAsTarget);
    EXPECT_EQ(takeSourceDirectory(plan, root.dir() + "source/../target/"),
              SourceProblem::SameAsTarget);
    EXPECT_TRUE(plan.request.sourceDir.empty());
    EXPECT_EQ(takeSourceDirectory(plan, source), SourceProblem::None);
    EXPECT_EQ(plan.request.sourceDir, source + kDirSeparator);
}

TEST(Batch, SummaryWording) {
    auto summary = [](int files, int processed, int failed, int changes) {
        BatchResult result;
        result.fileCount = files;
        result.processed = processed;
        result.failed = failed;
        result.tagChangeFiles = changes;
        return summaryText(result);
    };
    EXPECT_EQ(summary(1, 1, 1, 0), "The file could not be verified.");
    EXPECT_EQ(summary(1, 1, 0, 1), "Files verified. There are Tag changes.");
    EXPECT_EQ(summary(1, 1, 0, 0), "Files verified.");
    EXPECT_EQ(summary(3, 3, 1, 2), "2 file(s) verified.\n1 file(s) could not be fully verified.");
    EXPECT_EQ(summary(3, 3, 0, 2), "3 file(s) verified. Tag changes in 2 file(s).");
}

PairOutcome outcomeOf(VerifyStatus status, FindingCounts counts = {}) {
    PairOutcome outcome;
    outcome.status = status;
    outcome.counts = counts;
    return outcome;
}

TEST(Outcome, CountLinesAndStopTexts) {
    RecordingUser user;
    BatchCounts counts;
    EXPECT_TRUE(reportOutcome(outcomeOf(VerifyStatus::Completed, {2, 0, 5}), counts, 24, user));
    EXPECT_EQ(user.lines,
              (std::vector<std::string>{"Verification complete!", "Errors: 2", "Warnings: 5", ""}));
    user.lines.clear();
    EXPECT_FALSE(reportOutcome(outcomeOf(static_cast<VerifyStatus>(4711)), counts, 24, user));
    EXPECT_EQ(user.lines.front(), "Verification failed! An unknown parser error has occurred.");
    EXPECT_TRUE(user.stop.empty());
    reportStop(static_cast<VerifyStatus>(4711), counts, 24, 3, user);
    EXPECT_EQ(user.batchPosition, 72);
    EXPECT_EQ(std::vector<std::string>(user.lines.end() - 4, user.lines.end()),
              (std::vector<std::string>{kLine84, "", "The batch was cancelled.", kLine84}));
    EXPECT_EQ(user.stop, "An unknown parser error has occurred! 1 file(s) verified.");
    EXPECT_EQ(counts.processed, 2);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(statusLinesOf(VerifyStatus::RtfOpenGroups).lines.front(),
              "Verification failed! An RTF parser error has occurred.");
    EXPECT_EQ(statusLinesOf(VerifyStatus::OutOfMemory).stopText.value(),
              "A memory error has occurred! %d file(s) verified.");
}

}  // namespace
}  // namespace brevo

namespace brevo {
namespace {

// A batch with every kind of outcome, run one pair at a time and on several threads.
TEST(Batch, OnSeveralThreadsTheFileBarFollowsThePairShownLast) {
    Batch batch;
    batch.request.jobs = 3;
    for (int i = 0; i < 6; ++i) {
        batch.addPair("f" + std::to_string(i) + ".txt", brxText(kClean), brxText(kClean));
    }
    RecordingUser user;
    verifyBatch(batch.request, user);
    ASSERT_EQ(user.filePositions.size(), 6u);
    for (const std::vector<int>& positions : user.filePositions) {
        // The steps of that pair alone: never back, never beyond a pair's 24, ending full.
        ASSERT_FALSE(positions.empty());
        EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
        EXPECT_EQ(positions.back(), 24);
    }
}

TEST(Batch, SeveralThreadsGiveWhatOneAtATimeGives) {
    const std::string withFinding =
        "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello <:lt>\n</page>\n</file \"x\">\n</brx>\n";
    auto runWith = [&](int jobs, std::deque<OverwriteAnswer> answers) {
        Batch batch;
        batch.request.jobs = jobs;
        for (int i = 0; i < 12; ++i) {
            const std::string name = "f" + std::to_string(10 + i) + ".txt";
            switch (i % 4) {
                case 0:
                    batch.addPair(name, brxText(kClean), brxText(kClean));
                    break;
                case 1:
                    batch.addPair(name, brxText(withFinding), brxText(kClean));
                    break;
                case 2:
                    batch.addPair(name, brxText(kClean), "<brx \"I2.00\">\n");
                    break;
                default:
                    batch.request.files.push_back(batch.target.write(name, brxText(kClean)));
            }
        }
        batch.target.write("f13.CMP", "old");
        RecordingUser user;
        user.answers = std::move(answers);
        BatchResult result = verifyBatch(batch.request, user);
        std::vector<std::string> lines = user.body();
        for (std::string& line : lines) {
            // The directories differ between the two batches.
            for (const std::string& dir : {batch.source.dir(), batch.target.dir()}) {
                if (auto at = line.find(dir); at != std::string::npos) line.erase(at, dir.size());
            }
        }
        lines.push_back(user.summary + "|" + user.stop);
        lines.push_back(std::to_string(result.processed) + " " + std::to_string(result.failed) +
                        " " + std::to_string(result.tagChangeFiles) + " " +
                        std::to_string(user.batchPosition) + "/" + std::to_string(user.batchRange));
        lines.push_back(test::readFile(batch.target.path() / "f13.CMP").substr(0, 3));
        return lines;
    };
    EXPECT_EQ(runWith(1, {}), runWith(4, {}));
    EXPECT_EQ(runWith(1, {OverwriteAnswer::No}), runWith(3, {OverwriteAnswer::No}));
    EXPECT_EQ(runWith(1, {OverwriteAnswer::Cancel}), runWith(3, {OverwriteAnswer::Cancel}));
}

}  // namespace
}  // namespace brevo

namespace brevo {
namespace {

TEST(Batch, FilesSharingAReportAreVerifiedInTurnEvenWithSeveralThreads) {
    const std::string withFinding =
        "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello <:lt>\n</page>\n</file \"x\">\n</brx>\n";
    Batch batch;
    batch.request.jobs = 4;
    batch.addPair("a.bak", brxText(withFinding), brxText(kClean));
    batch.source.write("a.TXT", brxText(withFinding));
    batch.request.files.push_back(batch.target.write("a.txt", brxText(kClean)));
    RecordingUser user;
    user.answers = {OverwriteAnswer::No};
    verifyBatch(batch.request, user);
    // The first pair wrote a.CMP, so the second is asked about it.
    ASSERT_EQ(user.questions.size(), 1u);
    EXPECT_EQ(user.summary, "1 file(s) verified.\n1 file(s) could not be fully verified.");
}

}  // namespace
}  // namespace brevo

namespace brevo {
namespace {

// "p1007.txt" for the pair 7: names that sort as the pairs are numbered.
std::string numberedName(std::string name, int pair) {
    name.append(std::to_string(1000 + pair)).append(".txt");
    return name;
}

// More pairs than a parallel batch keeps finished at once, with a question answered No, a
// failing pair and findings among them.
TEST(Batch, ALongBatchOnSeveralThreadsGivesWhatOneAtATimeGives) {
    const std::string withFinding =
        "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello <:lt>\n</page>\n</file \"x\">\n</brx>\n";
    auto runWith = [&](int jobs) {
        Batch batch;
        batch.request.jobs = jobs;
        for (int i = 0; i < 600; ++i) {
            batch.addPair(numberedName("p", i), brxText(i % 7 == 3 ? withFinding : kClean),
                          i == 401 ? "<tfi>\n" : brxText(kClean));
        }
        batch.target.write("p1300.CMP", "old");
        RecordingUser user;
        user.answers = {OverwriteAnswer::No};
        const BatchResult result = verifyBatch(batch.request, user);
        std::vector<std::string> lines = user.body();
        for (std::string& line : lines) {
            if (auto at = line.find(batch.target.dir()); at != std::string::npos) {
                line.erase(at, batch.target.dir().size());
            }
        }
        lines.push_back(user.summary);
        lines.push_back(std::to_string(result.tagChangeFiles) + " " +
                        std::to_string(result.totals.errors) + " " +
                        std::to_string(user.batchPosition) + "/" + std::to_string(user.batchRange));
        return lines;
    };
    const std::vector<std::string> inTurn = runWith(1);
    EXPECT_EQ(inTurn[inTurn.size() - 2],
              "598 file(s) verified.\n2 file(s) could not be fully verified.");
    EXPECT_EQ(inTurn, runWith(2));
}

// A user who presses Cancel once the results show `after` lines.
class CancellingUser : public RecordingUser {
public:
    explicit CancellingUser(std::size_t after) : after_(after) {}
    bool cancelRequested() override { return lines.size() >= after_; }

private:
    std::size_t after_;
};

TEST(Batch, ACancelStopsALongBatchOnSeveralThreads) {
    Batch batch;
    batch.request.jobs = 2;
    for (int i = 0; i < 800; ++i) {
        batch.addPair(numberedName("c", i), brxText(kClean), brxText(kClean));
    }
    CancellingUser user(3 + 3 * 500);
    const BatchResult result = verifyBatch(batch.request, user);
    EXPECT_TRUE(result.stopped);
    // Pairs already verified when the cancel came still count; the one it reached does not.
    EXPECT_GE(result.processed, 500);
    EXPECT_LT(result.processed, 800);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(user.lines[user.lines.size() - 6], "Verification failed! Cancelled by user.");
    EXPECT_EQ(user.lines[user.lines.size() - 2], "The batch was cancelled.");
}

TEST(Batch, FilesWithAByteOrderMarkAreNamedOnceEvenInPairsNotReached) {
    const std::string marked = "\xEF\xBB\xBF" + brxText(kClean);
    for (int jobs : {1, 3}) {
        Batch batch;
        batch.request.jobs = jobs;
        batch.addPair("a.txt", brxText(kClean), marked);
        batch.addPair("b.txt", brxText(kClean), brxText(kClean));
        batch.addPair("c.txt", marked, brxText(kClean));
        batch.addPair("d.txt", brxText(kClean), brxText(kClean));
        batch.source.write("e.txt", marked);
        batch.request.files.push_back(batch.target.write("e.txt", marked));
        batch.target.write("d.CMP", "old");
        RecordingUser user;
        user.answers = {OverwriteAnswer::Cancel};
        const BatchResult result = verifyBatch(batch.request, user);
        EXPECT_TRUE(result.stopped);
        EXPECT_EQ(
            result.filesWithByteOrderMark,
            (std::vector<std::string>{batch.target.dir() + "a.txt", batch.source.dir() + "c.txt",
                                      batch.source.dir() + "e.txt", batch.target.dir() + "e.txt"}))
            << jobs << " jobs";
    }
}

}  // namespace
}  // namespace brevo

namespace brevo {
namespace {

#if !defined(_WIN32)  // names that differ only in case
TEST(BatchPlan, AFileNamedAgainInAnotherSpellingIsVerifiedOnce) {
    TempDir target;
    const std::string a = target.write("a.txt", "x");
    const std::string b = target.write("b.txt", "x");
    const std::string upperB = target.write("B.txt", "x");  // a file of its own
    const std::string z = target.write("z.txt", "x");
    BatchPlan plan = planFiles({a, target.dir() + "A.TXT", b, upperB, target.dir() + "B.TXT", a, z},
                               std::nullopt, BatchRequest());
    // B.TXT is found as B.txt, the first of B.txt and b.txt in byte order.
    EXPECT_EQ(plan.request.files, (std::vector<std::string>{a, b, upperB, z}));
    EXPECT_TRUE(plan.rejected.empty());
}
#endif

}  // namespace
}  // namespace brevo
