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

void onInterrupt(void (*handler)()) {
    interruptHandler = handler;
    std::signal(SIGINT, onSignal);
}

void prepareTerminal() {}

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace brevo
