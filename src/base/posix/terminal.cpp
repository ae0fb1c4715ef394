#include "base/terminal.h"

#include <unistd.h>

#include <csignal>

namespace brevo {
namespace {

void (*interruptHandler)() = nullptr;

extern "C" void onSignal(int) {
    if (interruptHandler != nullptr) interruptHandler();
}

}  // namespace

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

// A request to end, from the terminal, the system or a closed session, stops the batch as
// Ctrl-C does, so that no report is left half-written.
void onInterrupt(void (*handler)()) {
    interruptHandler = handler;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, onSignal);
}

// A reader that went away shows as a failed write (EPIPE), which the program handles, instead
// of ending it on the spot.
void prepareTerminal() {
    std::signal(SIGPIPE, SIG_IGN);
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace brevo
