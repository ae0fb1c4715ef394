#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "batch/verify_batch.h"
#include "cli/arguments.h"
#include "cli/terminal_user.h"

namespace {

constexpr int kExitClean = 0;
constexpr int kExitFindings = 1;
constexpr int kExitNotVerified = 2;
constexpr int kExitStopped = 3;

void onInterrupt(int) {
    brevo::cli::TerminalUser::requestCancel();
}

void complain(const std::string& text) {
    std::fprintf(stderr, "brevo-verify: %s\n", text.c_str());
}

int exitStatusOf(const brevo::BatchResult& result, bool someRejected) {
    if (result.stopped) return kExitStopped;
    if (result.failed > 0 || someRejected) return kExitNotVerified;
    if (result.tagChangeFiles > 0) return kExitFindings;
    return kExitClean;
}

// What a rerun should know: files an editor spoiled, and reports that were not replaced.
void explainAfterwards(const brevo::BatchRequest& request, int keptReports) {
    for (const std::string& file : brevo::filesWithByteOrderMark(request)) {
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
    std::vector<std::string> args(argv + 1, argv + argc);
    Arguments arguments;
    try {
        arguments = parseArguments(args);
    } catch (const UsageError& error) {
        complain(error.message);
        return kExitUsage;
    }
    if (arguments.showHelp) {
        std::fputs(helpText().c_str(), stdout);
        return kExitClean;
    }
    for (const brevo::RejectedFile& file : arguments.rejected) {
        complain(file.name + ": " + file.reason);
    }
    const brevo::BatchRequest& request = arguments.request;
    if (request.files.empty()) {
        complain("no translated BRX file left to verify. Try --help.");
        return kExitUsage;
    }

    std::signal(SIGINT, onInterrupt);
    TerminalOptions options;
    options.askQuestions = !request.options.overwriteFiles && ::isatty(STDIN_FILENO) != 0;
    options.drawProgress = ::isatty(STDERR_FILENO) != 0;
    TerminalUser user(stdout, stderr, stdin, options);
    const brevo::BatchResult result = brevo::verifyBatch(request, user);
    explainAfterwards(request, user.keptReports());
    return exitStatusOf(result, !arguments.rejected.empty());
}
