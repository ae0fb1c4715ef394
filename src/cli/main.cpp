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

int exitStatusOf(const brevo::BatchResult& result) {
    if (result.stopped) return kExitStopped;
    if (result.failed > 0) return kExitNotVerified;
    if (result.tagChangeFiles > 0) return kExitFindings;
    return kExitClean;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace brevo::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    Arguments arguments;
    try {
        arguments = parseArguments(args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "brevo-verify: %s\n", error.message.c_str());
        return kExitUsage;
    }
    if (arguments.showHelp) {
        std::fputs(helpText().c_str(), stdout);
        return kExitClean;
    }

    std::signal(SIGINT, onInterrupt);
    TerminalUser user(stdout, stderr, stdin, !arguments.request.options.overwriteFiles);
    const brevo::BatchResult result = brevo::verifyBatch(arguments.request, user);
    return exitStatusOf(result);
}
