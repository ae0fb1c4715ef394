// Damaged files and hostile disks: each pair ends with its status or file error, and the
// batch goes on with the next.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/verify_batch.h"
#include "brx/rtf_reader.h"
#include "test_support.h"

namespace brevo {
namespace {

namespace fs = std::filesystem;
using test::brxText;
using test::LogUser;
using test::TempDir;

const std::string kClean =
    "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello\n</page>\n</file \"x\">\n</brx>\n";
const std::string kComplete = "Verification complete!";
const std::string kNotFullyCompared = "Verification failed! The files could not be fully compared.";

bool runningAsRoot() {
#if defined(_WIN32)
    return false;
#else
    return ::geteuid() == 0;
#endif
}

// A batch of the pair under test, then a clean pair that must still be verified.
class Robustness : public ::testing::Test {
protected:
    void SetUp() override {
        request_.sourceDir = source_.dir();
        request_.targetDir = target_.dir();
        request_.options.overwriteFiles = true;
        writeSource("z.txt", brxText(kClean));
        writeTarget("z.txt", brxText(kClean));
    }

    std::string sourcePath(const std::string& name) const { return source_.dir() + name; }
    std::string targetPath(const std::string& name) const { return target_.dir() + name; }
    void writeSource(const std::string& name, const std::string& bytes) {
        source_.write(name, bytes);
    }
    void writeTarget(const std::string& name, const std::string& bytes) {
        target_.write(name, bytes);
    }

    // Verifies a.txt and then the clean z.txt; returns the lines of a.txt's outcome.
    std::vector<std::string> verifyPair() {
        request_.files = {targetPath("a.txt"), targetPath("z.txt")};
        LogUser user;
        result_ = verifyBatch(request_, user);
        return outcomeLines(user.lines);
    }

    std::vector<std::string> fileError(const std::string& message, const std::string& path) {
        return {message, "Filename:" + path, ""};
    }

    std::vector<std::string> outcomeLines(const std::vector<std::string>& log) {
        const std::string first = "Verifying " + targetPath("a.txt");
        const std::string second = "Verifying " + targetPath("z.txt");
        auto begin = std::find(log.begin(), log.end(), first);
        auto end = std::find(log.begin(), log.end(), second);
        EXPECT_TRUE(begin != log.end() && end != log.end());
        EXPECT_EQ(end == log.end() ? "" : *std::next(end), kComplete) << "batch did not go on";
        if (begin == log.end() || end == log.end() || begin > end) return {};
        return {std::next(begin), end};
    }

    std::string report() const { return test::readFile(targetPath("a.CMP")); }

    // Files left in the target directory besides the pairs' own.
    std::vector<std::string> strayFiles() const {
        std::vector<std::string> stray;
        for (const fs::directory_entry& entry : fs::directory_iterator(target_.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "a.txt" && name != "z.txt" && name != "a.CMP") stray.push_back(name);
        }
        return stray;
    }

    TempDir source_;
    TempDir target_;
    BatchRequest request_;
    BatchResult result_;
};

const std::string kAccessDenied = "File Error! The file could not be accessed.";
const std::string kNotFound = "File Error! The file could not be located.";
const std::string kUnspecified = "File Error! An unspecified error occurred.";
const std::string kDiskFull = "File Error! The disk is full.";
const std::string kUnexpectedEnd = "Verification failed! Unexpected end of input file.";

// A target with a lexical error: the pair always writes a report.
const std::string kBrokenTarget = brxText("<file \"x\">\n<page \"1\"\n</brx>\n");

TEST_F(Robustness, SourceOrTargetThatIsADirectory) {
    fs::create_directories(sourcePath("a.txt"));
    writeTarget("a.txt", brxText(kClean));
    EXPECT_EQ(verifyPair(), fileError(kAccessDenied, sourcePath("a.txt")));

    fs::remove(sourcePath("a.txt"));
    writeSource("a.txt", brxText(kClean));
    fs::remove(targetPath("a.txt"));
    fs::create_directories(targetPath("a.txt"));
    EXPECT_EQ(verifyPair(), fileError(kAccessDenied, targetPath("a.txt")));
    EXPECT_EQ(result_.failed, 1);
}

TEST_F(Robustness, MissingSourceOrTarget) {
    writeTarget("a.txt", brxText(kClean));
    EXPECT_EQ(verifyPair(), fileError(kNotFound, sourcePath("a.TXT")));

    writeSource("a.txt", brxText(kClean));
    fs::remove(targetPath("a.txt"));
    EXPECT_EQ(verifyPair(), fileError(kNotFound, targetPath("a.TXT")));
}

#if !defined(_WIN32)  // /proc, permission bits, fifos and devices
TEST_F(Robustness, SourceThatCannotBeRead) {
    // Reading this file fails even for root: nothing is mapped at its offset 0.
    fs::create_symlink("/proc/self/mem", sourcePath("a.txt"));
    writeTarget("a.txt", brxText(kClean));
    EXPECT_EQ(verifyPair(), fileError(kUnspecified, sourcePath("a.txt")));
}

TEST_F(Robustness, TargetWithoutReadPermission) {
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", brxText(kClean));
    fs::permissions(targetPath("a.txt"), fs::perms::none);
    if (runningAsRoot()) GTEST_SKIP() << "permissions do not keep root from reading";
    EXPECT_EQ(verifyPair(), fileError(kAccessDenied, targetPath("a.txt")));
}

// A pipe without a writer and an endless device must neither block nor fill the memory.
TEST_F(Robustness, PipesAndDevicesAreNoFiles) {
    ASSERT_EQ(::mkfifo(sourcePath("a.txt").c_str(), 0600), 0);
    writeTarget("a.txt", brxText(kClean));
    EXPECT_EQ(verifyPair(), fileError(kAccessDenied, sourcePath("a.txt")));

    fs::remove(sourcePath("a.txt"));
    writeSource("a.txt", brxText(kClean));
    fs::remove(targetPath("a.txt"));
    fs::create_symlink("/dev/zero", targetPath("a.txt"));
    EXPECT_EQ(verifyPair(), fileError(kAccessDenied, targetPath("a.txt")));
}
#endif

TEST_F(Robustness, EmptyFilesEndUnexpectedly) {
    writeSource("a.txt", "");
    writeTarget("a.txt", brxText(kClean));
    EXPECT_EQ(verifyPair(), (std::vector<std::string>{kUnexpectedEnd, ""}));

    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", "");
    EXPECT_EQ(verifyPair(), (std::vector<std::string>{kUnexpectedEnd, ""}));
    EXPECT_FALSE(fs::exists(targetPath("a.CMP")));
}

TEST_F(Robustness, TenMegabyteLines) {
    const std::string longText(10 << 20, 'x');
    writeSource("a.txt", brxText(kClean));
    // The whole file is one line: the header ends after its first line.
    writeTarget("a.txt", "<brx \"I2.00\">" + longText);
    EXPECT_EQ(verifyPair(), (std::vector<std::string>{kUnexpectedEnd, ""}));

    // A paragraph of 10 MB in both files is ordinary text.
    const std::string longParagraph = brxText("<file \"x\">\n<page \"1\">\n<ps \"Body\">" +
                                              longText + "\n</page>\n</file \"x\">\n</brx>\n");
    writeSource("a.txt", longParagraph);
    writeTarget("a.txt", longParagraph);
    EXPECT_EQ(verifyPair(), (std::vector<std::string>{kComplete, ""}));
}

TEST_F(Robustness, HundredThousandNestedBrackets) {
    const std::string nested = std::string(100000, '<') + std::string(100000, '>');
    const std::string body = "<file \"x\">\n<page \"1\">\n<ps \"Body\">" + nested + "\n</brx>\n";
    // Every "<" after a "<" cuts: the opening run and the closing run each end up in one
    // unbalanced segment, reported whole.
    const std::vector<std::string> twoErrors = {kNotFullyCompared, "Errors: 2", ""};
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", brxText(body));
    EXPECT_EQ(verifyPair(), twoErrors);
    EXPECT_NE(report().find(std::string(99999, '<') + "\r\n"), std::string::npos);
    std::string closingRun = "<";
    closingRun.append(100000, '>').append("\r\n");
    EXPECT_NE(report().find(closingRun), std::string::npos);

    writeSource("a.txt", brxText(body));
    writeTarget("a.txt", brxText(kClean));
    EXPECT_EQ(verifyPair(), twoErrors);
    EXPECT_NE(report().find("The source file is invalid."), std::string::npos);
}

TEST_F(Robustness, ReportNamedLikeADirectory) {
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", kBrokenTarget);
    fs::create_directories(targetPath("a.CMP"));
    EXPECT_EQ(verifyPair(), fileError(kAccessDenied, targetPath("a.CMP")));
    EXPECT_TRUE(fs::is_directory(targetPath("a.CMP")));
    EXPECT_TRUE(fs::is_empty(targetPath("a.CMP")));
    EXPECT_TRUE(strayFiles().empty());
}

#if !defined(_WIN32)  // /dev/full, fifos and symbolic links
TEST_F(Robustness, ReportOnAFullDevice) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", kBrokenTarget);
    fs::create_symlink("/dev/full", targetPath("a.CMP"));
    EXPECT_EQ(verifyPair(), fileError(kDiskFull, targetPath("a.CMP")));
    // The link is written through, not replaced by a file of its own.
    EXPECT_TRUE(fs::is_symlink(targetPath("a.CMP")));
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(Robustness, ReportNamedLikeAPipeNobodyReads) {
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", kBrokenTarget);
    ASSERT_EQ(::mkfifo(targetPath("a.CMP").c_str(), 0600), 0);
    EXPECT_EQ(verifyPair(), fileError(kUnspecified, targetPath("a.CMP")));
    EXPECT_TRUE(strayFiles().empty());
}

TEST_F(Robustness, ReportThroughALinkReplacesWhatItPointsTo) {
    TempDir elsewhere;
    const std::string kept = elsewhere.write("kept.CMP", "old report");
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", kBrokenTarget);
    fs::create_symlink(kept, targetPath("a.CMP"));
    EXPECT_EQ(verifyPair(), (std::vector<std::string>{kNotFullyCompared, "Errors: 1", ""}));
    EXPECT_TRUE(fs::is_symlink(targetPath("a.CMP")));
    EXPECT_NE(test::readFile(kept).find("Verification Report"), std::string::npos);
    EXPECT_TRUE(strayFiles().empty());
}
#endif

#if !defined(_WIN32)  // a directory's permission bits
TEST_F(Robustness, ReportInAReadOnlyDirectory) {
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", kBrokenTarget);
    writeTarget("a.CMP", "old report");
    fs::permissions(target_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (runningAsRoot()) GTEST_SKIP() << "permissions do not keep root from writing";
    const std::vector<std::string> outcome = verifyPair();
    fs::permissions(target_.path(), fs::perms::owner_all);
    EXPECT_EQ(outcome, fileError(kAccessDenied, targetPath("a.CMP")));
    EXPECT_EQ(report(), "old report");
}
#endif

TEST_F(Robustness, ReadOnlyReportIsKept) {
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", kBrokenTarget);
    writeTarget("a.CMP", "old report");
    fs::permissions(targetPath("a.CMP"), fs::perms::owner_read);
    if (runningAsRoot()) GTEST_SKIP() << "permissions do not keep root from writing";
    EXPECT_EQ(verifyPair(), fileError(kAccessDenied, targetPath("a.CMP")));
    EXPECT_EQ(report(), "old report");
    EXPECT_TRUE(strayFiles().empty());
}

#if !defined(_WIN32)  // permission bits and size limits
TEST_F(Robustness, ReplacedReportKeepsItsPermissions) {
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", kBrokenTarget);
    writeTarget("a.CMP", "old report");
    const fs::perms chosen = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(targetPath("a.CMP"), chosen);
    EXPECT_EQ(verifyPair(), (std::vector<std::string>{kNotFullyCompared, "Errors: 1", ""}));
    EXPECT_NE(report(), "old report");
    EXPECT_EQ(fs::status(targetPath("a.CMP")).permissions(), chosen);
}

// Writes beyond a size limit fail, for root as well: the disk is full for this file.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(Robustness, FailedReportWriteKeepsThePreviousReport) {
    const std::string nested = std::string(50000, '<') + std::string(50000, '>');
    writeSource("a.txt", brxText(kClean));
    writeTarget("a.txt", brxText("<file \"x\">\n<page \"1\">" + nested + "\n</brx>\n"));
    writeTarget("a.CMP", "old report");
    std::vector<std::string> outcome;
    {
        FileSizeLimit limit(64 << 10);
        outcome = verifyPair();
    }
    EXPECT_EQ(outcome, fileError(kDiskFull, targetPath("a.CMP")));
    EXPECT_EQ(report(), "old report");
    EXPECT_TRUE(strayFiles().empty());
}
#endif

// Bytes outside the header's code page, NUL among them, are text like any other.
TEST_F(Robustness, AnyByteInTheText) {
    const std::string bytes("A\0B\x81\xff\x80\x7f\xfe\x82\xa0Z", 12);
    const std::string text =
        "<file \"x\">\n<page \"1\">\n<ps \"Body\">" + bytes + "\n</page>\n</file \"x\">\n</brx>\n";
    writeSource("a.txt", brxText(text, "Japanese"));
    writeTarget("a.txt", brxText(text, "Japanese"));
    EXPECT_EQ(verifyPair(), (std::vector<std::string>{kComplete, ""}));

    writeTarget("a.txt", brxText("<file \"x\">\n<page \"1\"" + bytes + "\n</brx>\n", "Japanese"));
    EXPECT_EQ(verifyPair(), (std::vector<std::string>{kNotFullyCompared, "Errors: 1", ""}));
    EXPECT_NE(report().find("<page \"1\"" + bytes), std::string::npos);
}

#if !defined(_WIN32)  // the command through the POSIX shell
std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The binary on a batch of hostile pairs, several at once: every pair gets its lines.
TEST(RobustCli, DamagedPairsAndAnUnwritableReportDoNotStopTheBatch) {
    using namespace std::string_literals;
    TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) dir.write("src/"s + name, brxText(kClean));
    dir.write("tgt/a.txt", kBrokenTarget);
    fs::create_directories(dir.path() / "tgt/a.CMP");
    dir.write("tgt/b.txt", "\xff\xfe\0<brx \"I2.00\">\0\r\r\n\x80"s);
    dir.write("tgt/c.txt", brxText(kClean));
    const std::string command = "cd " + shellQuoted(dir.path()) + " && " +
                                shellQuoted(BREVO_VERIFY_EXE) +
                                " --jobs 2 --overwrite --source-dir src tgt/a.txt tgt/b.txt "
                                "tgt/c.txt >out.txt 2>&1 </dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    const std::string out = test::readFile(dir.path() / "out.txt");
    EXPECT_NE(out.find("Verifying tgt/a.txt\n" + kAccessDenied + "\nFilename:tgt/a.CMP\n\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Verifying tgt/b.txt\nVerification failed! This file is not a valid BRX "
                       "file.\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Verifying tgt/c.txt\n" + kComplete + "\n"), std::string::npos) << out;
}
#endif

// Raw bytes in an RTF file pass through as they are; only "\'00" is dropped.
TEST(RobustRtf, AnyByteInTheText) {
    using namespace std::string_literals;
    test::TempDir dir;
    const std::string path = dir.write("a.rtf", "{\\rtf1 A\0B\x81\xff\\'00\\'80\r\nC\\par \x7f}"s);
    std::vector<std::string> lines;
    readRtfLines(path, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"A\0B\x81\xff\x80"s + "C", "\x7f"}));
}

}  // namespace
}  // namespace brevo
