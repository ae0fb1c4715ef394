#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/file_failure.h"
#include "base/memory_advice.h"
#include "base/terminal.h"
#include "batch/status_messages.h"
#include "batch/verify_batch.h"
#include "cli/arguments.h"
#include "cli/terminal_user.h"
#include "export/compiler_lines.h"
#include "export/findings_json.h"

namespace {

constexpr int kExitClean = 0;
constexpr int kExitFindings = 1;
constexpr int kExitNotVerified = 2;
constexpr int kExitStopped = 3;

void complain(const std::string& text) {
    std::fprintf(stderr, "brevo-verify: %s\n", text.c_str());
}

// Whether the batch found something at or above the severity that fails it.
bool findingsFail(const brevo::BatchResult& result, brevo::cli::FailOn failOn) {
    using brevo::cli::FailOn;
    switch (failOn) {
        case FailOn::Error:
            return result.totals.errors > 0;
        case FailOn::Alert:
            return result.totals.errors + result.totals.alerts > 0;
        case FailOn::Warning:
            return result.tagChangeFiles > 0;
        case FailOn::Never:
            break;
    }
    return false;
}

int exitStatusOf(const brevo::BatchResult& result, bool someNotDone, brevo::cli::FailOn failOn) {
    if (result.stopped) return kExitStopped;
    if (result.failed > 0 || someNotDone) return kExitNotVerified;
    if (findingsFail(result, failOn)) return kExitFindings;
    return kExitClean;
}

// How standard output fared: 0, or the errno of its first failure.
class StandardOutput {
public:
    void failed(int error) {
        if (error_ == 0) error_ = error;
    }
    // A reader that went away ends the batch without a word, as a closed pipe should.
    bool closed() const { return error_ == EPIPE; }
    bool broken() const { return error_ != 0 && !closed(); }
    void explain() const {
        if (broken())
            complain("cannot write to standard output: " + std::string(std::strerror(error_)));
    }

private:
    int error_ = 0;
};

// Help and version: text on standard output, and a status that says whether it got there.
int print(const std::string& text) {
    StandardOutput standardOutput;
    standardOutput.failed(brevo::writeAndFlush(stdout, text));
    standardOutput.explain();
    return standardOutput.broken() ? kExitNotVerified : kExitClean;
}

// The findings for pipelines, once the reports are written. False when a file could not be.
bool writeFindings(const brevo::cli::Arguments& arguments, const brevo::BatchResult& result,
                   StandardOutput& standardOutput) {
    bool written = true;
    auto write = [&](const std::optional<std::string>& path, const char* what, auto&& make) {
        if (!path) return;
        if (*path == "-") {
            const int error =
                brevo::writeAndFlush(stdout, brevo::documentText(make(result, BREVO_VERSION)));
            standardOutput.failed(error);
            written = written && error == 0;
            return;
        }
        try {
            brevo::writeDocument(*path, make(result, BREVO_VERSION));
        } catch (const brevo::FileFailure& failure) {
            complain(std::string("cannot write the ") + what + " to " + *path + ": " +
                     std::string(brevo::fileErrorMessage(failure.cause)));
            written = false;
        }
    };
    write(arguments.jsonPath, "JSON", brevo::findingsJson);
    write(arguments.sarifPath, "SARIF log", brevo::findingsSarif);
    return written;
}

// Colour only for a person at a terminal who has not asked for none (https://no-color.org).
bool colourOnStderr() {
    const char* noColour = std::getenv("NO_COLOR");
    return brevo::isTerminal(stderr) && (noColour == nullptr || *noColour == '\0');
}

// The findings where editors and CI logs look for a compiler's, after the progress bars.
void printDiagnostics(const brevo::BatchResult& result) {
    const std::string lines = brevo::compilerStyleLines(result, colourOnStderr());
    std::fwrite(lines.data(), 1, lines.size(), stderr);
    std::fflush(stderr);
}

// What a rerun should know: files an editor spoiled, and reports that were not replaced.
void explainAfterwards(const brevo::BatchResult& result, int keptReports) {
    for (const std::string& file : result.filesWithByteOrderMark) {
        complain(file +
                 ": saved as UTF-8 with a byte order mark, which BRX files must not have;"
                 " save it again without one");
    }
    if (keptReports == 1) {
        complain("kept 1 existing report; --overwrite replaces existing reports");
    } else if (keptReports > 1) {
        complain("kept " + std::to_string(keptReports) +
                 " existing reports; --overwrite replaces existing reports");
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace brevo::cli;
    brevo::prepareTerminal();
    brevo::keepFreedMemory();
    Arguments arguments;
    try {
        arguments = parseArguments(brevo::programArguments(argc, argv));
    } catch (const UsageError& error) {
        complain(error.message);
        return kExitUsage;
    }
    if (arguments.showHelp) return print(helpText());
    if (arguments.showVersion) return print("brevo-verify " BREVO_VERSION "\n");
    for (const brevo::RejectedFile& file : arguments.rejected) {
        complain(file.name + ": " + file.reason);
    }
    const brevo::BatchRequest& request = arguments.request;
    if (request.files.empty()) {
        complain("no translated BRX file left to verify. Try --help.");
        return kExitUsage;
    }

    brevo::onInterrupt(TerminalUser::requestCancel);
    TerminalOptions options;
    options.askQuestions =
        !request.options.overwriteFiles && !arguments.namesFromStdin && brevo::isTerminal(stdin);
    options.drawProgress = brevo::isTerminal(stderr);
    options.quiet = arguments.quiet;
    // Findings written to standard output keep it to themselves.
    const bool findingsOnStdout = arguments.jsonPath == "-" || arguments.sarifPath == "-";
    std::FILE* results = findingsOnStdout ? stderr : stdout;
    options.linesAtOnce = brevo::isTerminal(results);
    TerminalUser user(results, stderr, stdin, options);
    const brevo::BatchResult result = brevo::verifyBatch(request, user);
    StandardOutput standardOutput;
    if (!findingsOnStdout) standardOutput.failed(user.outputError());
    if (arguments.diagnostics) printDiagnostics(result);
    explainAfterwards(result, user.keptReports());
    const bool findingsWritten = writeFindings(arguments, result, standardOutput);
    standardOutput.explain();
    if (standardOutput.closed()) return kExitStopped;
    return exitStatusOf(result,
                        !arguments.rejected.empty() || !findingsWritten || standardOutput.broken(),
                        arguments.failOn);
}
