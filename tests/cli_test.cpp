#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/temporary_file.h"
#include "cli/arguments.h"
#include "cli/name_list.h"
#include "cli/terminal_user.h"
#include "test_support.h"

namespace brevo {
namespace {

using test::brxText;
using test::TempDir;

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The command as a process, run through the POSIX shell. On Windows the test script runs it
// on the sample batch instead.
#if !defined(_WIN32)
struct Result {
    int status = -1;
    std::string out;  // standard output, then standard error
    std::string err;
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
    result.err = test::readFile(dir + "/stderr.txt");
    result.out += result.err;
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

// A pair whose target has findings against its real source, and none against itself.
struct PairWithFindings {
    TempDir dir;
    PairWithFindings() {
        dir.write("src/a.txt", brxText(kClean));
        dir.write("tgt/a.txt", brxText("<file \"x\">\n<page \"1\">\n<ps \"Body\">Hallo\n"
                                       "<ps \"Body\">Welt\n</page>\n</file \"x\">\n</brx>\n"));
    }
};

TEST(Cli, TheTargetDirectoryIsRefusedAsSourceHoweverItIsSpelled) {
    PairWithFindings pair;
    std::filesystem::create_directory_symlink(pair.dir.path() / "tgt", pair.dir.path() / "link");
    const std::string absolute = (pair.dir.path() / "tgt").string();
    const std::vector<std::string> spellings = {"tgt", "./tgt/", absolute, "link"};
    for (const std::string& source : spellings) {
        Result same = runCli(pair.dir.path(), "--source-dir " + quoted(source) + " tgt/a.txt");
        EXPECT_EQ(same.status, 64) << source;
        EXPECT_EQ(same.err, "brevo-verify: You must select files in two different directories.\n")
            << source;
        EXPECT_FALSE(std::filesystem::exists(pair.dir.path() / "tgt/a.CMP")) << source;
    }
    // The real pair still has its findings, and a clean pair still passes.
    EXPECT_EQ(runCli(pair.dir.path(), "--source-dir src tgt/a.txt").status, 1);
    pair.dir.write("tgt/b.txt", brxText(kClean));
    pair.dir.write("src/b.txt", brxText(kClean));
    EXPECT_EQ(runCli(pair.dir.path(), "--source-dir src tgt/b.txt").status, 0);
}

TEST(Cli, NamesThatCannotBeVerifiedAreRefusedAndTheRestVerified) {
    TempDir dir;
    dir.write("src/a.txt", brxText(kClean));
    dir.write("tgt/a.txt", brxText(kClean));
    dir.write("tgt/guide", brxText(kClean));
    dir.write("tgt/b.rtf", "{\\rtf1 }");
    Result result = runCli(dir.path(),
                           "--source-dir src tgt tgt/guide tgt/missing.txt tgt/a.txt "
                           "tgt/b.rtf");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err,
              "brevo-verify: tgt: not a regular file\n"
              "brevo-verify: tgt/guide: not a .txt or .rtf file\n"
              "brevo-verify: tgt/missing.txt: no such file\n"
              "brevo-verify: tgt/b.rtf: not a .txt file\n");
    EXPECT_EQ(occurrences(result.out, "Verifying "), 1u);
    EXPECT_NE(result.out.find("Verifying tgt/a.txt\nVerification complete!\n"), std::string::npos);

    Result forced = runCli(dir.path(), "--source-dir src --format rtf tgt/a.txt tgt/guide");
    EXPECT_EQ(forced.status, 64);
    EXPECT_EQ(forced.err,
              "brevo-verify: tgt/a.txt: not a .rtf file\n"
              "brevo-verify: tgt/guide: not a .rtf file\n"
              "brevo-verify: no translated BRX file left to verify. Try --help.\n");
    EXPECT_EQ(forced.out, forced.err);
}

TEST(Cli, OneFileNamedSeveralWaysIsVerifiedOnce) {
    TempDir dir;
    dir.write("src/a.txt", brxText(kClean));
    dir.write("tgt/a.txt", brxText(kClean));
    dir.write("tgt/b.txt", brxText(kClean));
    dir.write("src/b.txt", brxText(kClean));
    Result result =
        runCli(dir.path(), "--source-dir src tgt/a.txt tgt/b.txt ./tgt/a.txt tgt/A.TXT tgt/a.txt");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(occurrences(result.out, "Verifying "), 2u);
    EXPECT_NE(result.out.find("2 file(s) verified."), std::string::npos);
}

TEST(Cli, ARerunWithoutATerminalSaysWhichReportsItKept) {
    TempDir dir;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        dir.write(std::string("src/") + name, brxText(kClean));
        dir.write(std::string("tgt/") + name, brxText(kClean));
    }
    dir.write("tgt/a.CMP", "old a");
    dir.write("tgt/c.CMP", "old c");
    Result kept = runCli(dir.path(), "--source-dir src tgt/a.txt tgt/b.txt tgt/c.txt");
    EXPECT_EQ(kept.status, 2);
    EXPECT_EQ(occurrences(kept.out, "Verification failed! Cancelled by user."), 2u);
    EXPECT_EQ(kept.err,
              "brevo-verify: kept 2 existing reports; --overwrite replaces existing "
              "reports\n");
    EXPECT_EQ(test::readFile(dir.path() / "tgt/c.CMP"), "old c");
}

TEST(Cli, SmallThingsAUserTripsOver) {
    TempDir dir;
    dir.write("src/a.txt", brxText(kClean));
    dir.write("tgt/a.txt", brxText(kClean));
    Result missing = runCli(dir.path(), "--source-dir nosuch tgt/a.txt");
    EXPECT_EQ(missing.status, 64);
    EXPECT_EQ(missing.err,
              "brevo-verify: nosuch: The path you entered doesn't exist. Please try again.\n");

    Result typo = runCli(dir.path(), "--source-dir src --target-language frnch tgt/a.txt");
    EXPECT_EQ(typo.status, 64);
    EXPECT_NE(typo.err.find("\"frnch\" (did you mean French?)"), std::string::npos);
    EXPECT_LT(typo.err.find("  Albanian\n"), typo.err.find("  Lithuanian\n"));
    EXPECT_EQ(
        runCli(dir.path(), "--source-dir src --target-language 'english (uk)' tgt/a.txt").status,
        0);
    // A lower-case Japanese name still gets the Japanese character check.
    dir.write("src/j.txt", brxText(kClean));
    dir.write("tgt/j.txt", brxText("<file \"x\">\n<page \"1\">\n<ps \"Body\">\xED\x40\n"
                                   "</page>\n</file \"x\">\n</brx>\n"));
    EXPECT_EQ(runCli(dir.path(), "--source-dir src --overwrite tgt/j.txt").status, 0);
    EXPECT_EQ(runCli(dir.path(),
                     "--source-dir src --overwrite --target-language 'japanese (euc)' "
                     "tgt/j.txt")
                  .status,
              1);

    dir.write("tgt/bom.txt", "\xEF\xBB\xBF" + brxText(kClean));
    dir.write("src/bom.txt", brxText(kClean));
    Result bom = runCli(dir.path(), "--source-dir src tgt/bom.txt");
    EXPECT_EQ(bom.status, 2);
    EXPECT_NE(bom.out.find("Verification failed! This file is not a valid BRX file."),
              std::string::npos);
    EXPECT_EQ(bom.err,
              "brevo-verify: tgt/bom.txt: saved as UTF-8 with a byte order mark, which BRX files "
              "must not have; save it again without one\n");
}

TEST(Cli, FindingsNeverTakeThePlaceOfAFileOfTheBatch) {
    TempDir dir;
    const std::string target = brxText(
        "<file \"x\">\n<page \"1\">\n<ps \"B\">Hi\n</page>\n"
        "</file \"x\">\n</brx>\n");
    dir.write("src/a.txt", brxText(kClean));
    dir.write("src/b.txt", brxText(kClean));
    dir.write("tgt/a.txt", target);
    dir.write("tgt/b.txt", brxText(kClean));
    const char* refused[] = {
        "--json= tgt/a.txt tgt/b.txt",          // would take tgt/a.txt as its value
        "--sarif '' tgt/b.txt",                 // an empty name
        "--source-dir= src tgt/a.txt",          //
        "--json tgt/a.txt tgt/a.txt",           // the translated file itself
        "--json ./tgt/../tgt/b.txt tgt/b.txt",  // the same, spelled otherwise
        "--sarif src/a.txt tgt/a.txt",          // its source file
        "--json tgt//a.CMP tgt/a.txt",          // the report the batch writes
        "--json x.json --sarif ./x.json tgt/a.txt",
    };
    for (const char* args : refused) {
        const std::string command = std::string(args).starts_with("--source-dir")
                                        ? args
                                        : std::string("--source-dir src ") + args;
        Result result = runCli(dir.path(), command);
        EXPECT_EQ(result.status, 64) << args;
        EXPECT_TRUE(result.out.find("Verifying") == std::string::npos) << args;
    }
    EXPECT_EQ(test::readFile(dir.path() / "tgt/a.txt"), target);
    EXPECT_EQ(test::readFile(dir.path() / "tgt/b.txt"), brxText(kClean));
    EXPECT_EQ(test::readFile(dir.path() / "src/a.txt"), brxText(kClean));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "tgt/a.CMP"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "x.json"));

    Result empty = runCli(dir.path(), "--source-dir src --json= tgt/a.txt tgt/b.txt");
    EXPECT_EQ(empty.err, "brevo-verify: Option --json needs a name, not an empty value.\n");
    Result report = runCli(dir.path(), "--source-dir src --json tgt/a.CMP tgt/a.txt");
    EXPECT_EQ(report.err,
              "brevo-verify: --json tgt/a.CMP would take the place of tgt/a.CMP, a file of the "
              "batch.\n");
    // Another file beside them is fine.
    EXPECT_EQ(runCli(dir.path(), "--source-dir src --json tgt/a.json tgt/a.txt").status, 1);
}

TEST(Cli, ARepeatedOptionIsNamedAsSuch) {
    TempDir dir;
    dir.write("src/a.txt", brxText(kClean));
    dir.write("tgt/a.txt", brxText(kClean));
    Result twice = runCli(dir.path(), "--source-dir src --format text --format rtf tgt/a.txt");
    EXPECT_EQ(twice.status, 64);
    EXPECT_EQ(twice.err, "brevo-verify: Option --format is given more than once.\n");
    Result lacking = runCli(dir.path(), "--source-dir src tgt/a.txt --format");
    EXPECT_EQ(lacking.err, "brevo-verify: Option --format needs a value.\n");
}

#endif  // !_WIN32

// A TerminalUser on temporary files, with a clock that moves only when told.
struct Terminal {
    OwnedFile outFile = openTemporaryFile();
    OwnedFile errFile = openTemporaryFile();
    OwnedFile inFile = openTemporaryFile();
    std::FILE* out = outFile.get();
    std::FILE* err = errFile.get();
    std::FILE* in = inFile.get();
    std::chrono::steady_clock::time_point now{};
    cli::TerminalUser user;

    explicit Terminal(const std::string& answers, cli::TerminalOptions options = {true, true})
        : user(out, err, in, options, [this] { return now; }) {
        std::fputs(answers.c_str(), in);
        std::rewind(in);
    }
    static std::string contents(std::FILE* file) {
        std::fflush(file);
        std::rewind(file);
        std::string text;
        for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
        return text;
    }
    std::string errText() { return contents(err); }
};

// More pairs at once than there are files, or than the machine can run, only cost memory.
TEST(CliArguments, JobsAreCappedByTheFilesAndTheCores) {
    TempDir dir;
    dir.write("src/a.txt", "x");
    const std::size_t most = 4 * std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::string> args = {"--source-dir", dir.dir() + "src", "-j", "100000"};
    for (std::size_t i = 0; i <= most; ++i) {
        args.push_back(dir.write("tgt/f" + std::to_string(i) + ".txt", "x"));
    }
    EXPECT_EQ(cli::parseArguments(args).request.jobs, static_cast<int>(most));
    args.resize(6);
    EXPECT_EQ(cli::parseArguments(args).request.jobs, 2);
    args[3] = "1";
    EXPECT_EQ(cli::parseArguments(args).request.jobs, 1);
}

TEST(NameList, OneNameALineAsEditorsOnEverySystemSaveIt) {
    using cli::namesOfList;
    EXPECT_EQ(namesOfList("a.txt\nb.txt"), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(namesOfList("\xEF\xBB\xBF"
                          "a.txt\r\n\r\n my file.txt \r\n"),
              (std::vector<std::string>{"a.txt", " my file.txt "}));
    EXPECT_TRUE(namesOfList("\n\r\n").empty());
    // A byte order mark only counts at the very start.
    EXPECT_EQ(namesOfList("a\n\xEF\xBB\xBF"
                          "b"),
              (std::vector<std::string>{"a",
                                        "\xEF\xBB\xBF"
                                        "b"}));
}

TEST(TerminalUser, AllAnswersYesForTheRestOfTheBatch) {
    Terminal terminal("x\na\n");
    EXPECT_EQ(terminal.user.askOverwrite("Overwrite one?"), OverwriteAnswer::Yes);
    EXPECT_EQ(terminal.user.askOverwrite("Overwrite two?"), OverwriteAnswer::Yes);
    const std::string asked = terminal.errText();
    EXPECT_EQ(occurrences(asked, "Overwrite one?\n[y]es, [n]o, [a]ll remaining, [c]ancel? "), 2u);
    EXPECT_EQ(asked.find("Overwrite two?"), std::string::npos);

    Terminal noTerminal("", {false, false});
    EXPECT_EQ(noTerminal.user.askOverwrite("q"), OverwriteAnswer::No);
    EXPECT_EQ(noTerminal.user.askOverwrite("q"), OverwriteAnswer::No);
    EXPECT_EQ(noTerminal.user.keptReports(), 2);
    EXPECT_EQ(noTerminal.errText(), "");
}

TEST(TerminalUser, ProgressIsDrawnAtMostTenTimesASecondWithTheFileAndItsNumber) {
    Terminal terminal("");
    terminal.user.startProgress(24, 24 * 250);
    terminal.user.startFile("dir/first.txt");
    terminal.user.startFile("dir/second.txt");
    terminal.user.startFile("dir/guide.txt");
    for (int i = 0; i < 1000; ++i) terminal.user.stepProgress();
    EXPECT_EQ(occurrences(terminal.errText(), "\r\033[K1/250 first.txt  file ["), 1u);
    EXPECT_EQ(occurrences(terminal.errText(), "250 "), 1u);

    terminal.now += std::chrono::milliseconds(100);
    terminal.user.stepProgress();
    const std::string drawn = terminal.errText();
    EXPECT_EQ(occurrences(drawn, "250 "), 2u);
    EXPECT_NE(drawn.find("3/250 guide.txt  file [" + std::string(24, '#') + "]"),
              std::string::npos);
}

TEST(TerminalUser, ResultsThatNobodyWatchesGoOutInBunchesAndBeforeAQuestion) {
    cli::TerminalOptions options;
    options.askQuestions = true;
    options.linesAtOnce = false;
    Terminal terminal("y\n", options);
    terminal.user.appendResultLine("one");
    terminal.now += std::chrono::milliseconds(150);
    terminal.user.appendResultLine("two");
    terminal.user.appendResultLine("three");
    EXPECT_EQ(Terminal::contents(terminal.out), "one\ntwo\n");
    EXPECT_EQ(terminal.user.askOverwrite("Overwrite?"), OverwriteAnswer::Yes);
    EXPECT_EQ(Terminal::contents(terminal.out), "one\ntwo\nthree\n");
    terminal.user.appendResultLine("four");
    terminal.user.showSummary("Files verified.");
    EXPECT_EQ(Terminal::contents(terminal.out), "one\ntwo\nthree\nfour\nFiles verified.\n");
}

TEST(TerminalUser, AfterACancelTheBarsStayWhereTheBatchStopped) {
    Terminal terminal("c\n");
    terminal.user.startProgress(24, 48);
    terminal.user.startFile("dir/a.txt");
    for (int i = 0; i < 24; ++i) terminal.user.stepProgress();
    terminal.user.startFile("dir/b.txt");
    EXPECT_EQ(terminal.user.askOverwrite("Overwrite b?"), OverwriteAnswer::Cancel);
    // What the batch does when it stops: both bars to their end, then the stop message.
    terminal.user.setFileProgress(24);
    terminal.user.setBatchProgress(48);
    terminal.user.showStop("The batch was cancelled.");
    const std::string drawn = terminal.errText();
    const std::string last = drawn.substr(drawn.rfind('\r'));
    EXPECT_EQ(last, "\r\033[K2/2 b.txt  file [" + std::string(24, '.') + "]  batch [" +
                        std::string(20, '#') + std::string(20, '.') + "]\n");
    EXPECT_EQ(Terminal::contents(terminal.out), "The batch was cancelled.\n");
}

}  // namespace
}  // namespace brevo
