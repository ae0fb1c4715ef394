#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "test_support.h"

namespace brevo {
namespace {

using test::brxText;
using test::TempDir;

struct Result {
    int status = -1;
    std::string out;
};

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// Runs brevo-verify with `args` in `dir`, stdin from /dev/null, stderr into stdout's end.
Result runCli(const std::string& dir, const std::string& args) {
    std::string command = "cd " + quoted(dir) + " && " + quoted(BREVO_VERIFY_EXE) + " " + args +
                          " </dev/null 2>" + quoted(dir + "/stderr.txt");
    Result result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out += test::readFile(dir + "/stderr.txt");
    return result;
}

const std::string kClean =
    "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello\n</page>\n</file \"x\">\n</brx>\n";

TEST(Cli, UsageErrors) {
    TempDir dir;
    dir.write("src/a.txt", brxText(kClean));
    dir.write("tgt/a.txt", brxText(kClean));
    dir.write("other/b.txt", brxText(kClean));
    EXPECT_EQ(runCli(dir.path(), "tgt/a.txt").status, 64);
    Result same = runCli(dir.path(), "--source-dir tgt tgt/a.txt");
    EXPECT_EQ(same.status, 64);
    EXPECT_NE(same.out.find("You must select files in two different directories."),
              std::string::npos);
    Result missing = runCli(dir.path(), "--source-dir nowhere tgt/a.txt");
    EXPECT_EQ(missing.status, 64);
    EXPECT_NE(missing.out.find("The path you entered doesn't exist. Please try again."),
              std::string::npos);
    EXPECT_EQ(runCli(dir.path(), "--source-dir src tgt/a.txt other/b.txt").status, 64);
    Result language = runCli(dir.path(), "--source-dir src --target-language Elvish tgt/a.txt");
    EXPECT_EQ(language.status, 64);
    EXPECT_NE(language.out.find("English (UK)"), std::string::npos);
    EXPECT_EQ(runCli(dir.path(), "--help").status, 0);
}

TEST(Cli, PrintsTheResultsLogAndTheSummary) {
    TempDir dir;
    dir.write("src/a.txt", brxText(kClean));
    dir.write("tgt/a.txt", brxText(kClean));
    Result clean = runCli(dir.path() / "tgt", "--source-dir ../src a.txt");
    EXPECT_EQ(clean.status, 0);
    // The date line differs from run to run.
    std::size_t dateEnd = clean.out.find('\n', 1);
    ASSERT_NE(dateEnd, std::string::npos);
    EXPECT_EQ(clean.out.substr(dateEnd), "\n\nVerifying ./a.txt\nVerification complete!\n\n" +
                                             std::string(84, '_') + "\nFiles verified.\n");

    dir.write("tgt/b.txt", "<brx \"I2.00\">\n");
    dir.write("src/b.txt", brxText(kClean));
    Result failed = runCli(dir.path(), "--source-dir src tgt/a.txt tgt/b.txt");
    EXPECT_EQ(failed.status, 2);
    EXPECT_NE(failed.out.find("Verification failed! Unexpected end of input file."),
              std::string::npos);
    EXPECT_NE(failed.out.find("1 file(s) verified.\n1 file(s) could not be fully verified.\n"),
              std::string::npos);
}

TEST(Cli, ExistingReportIsKeptWithoutATerminal) {
    TempDir dir;
    dir.write("src/a.txt", brxText(kClean));
    dir.write("tgt/a.txt", brxText(kClean));
    dir.write("tgt/a.CMP", "old report");
    Result declined = runCli(dir.path(), "--source-dir src tgt/a.txt");
    EXPECT_EQ(declined.status, 2);
    EXPECT_NE(declined.out.find("Verification failed! Cancelled by user."), std::string::npos);
    EXPECT_EQ(test::readFile(dir.path() / "tgt/a.CMP"), "old report");
    EXPECT_EQ(runCli(dir.path(), "--source-dir src --overwrite tgt/a.txt").status, 0);
}

}  // namespace
}  // namespace brevo
