#include "base/terminal.h"

#include <io.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <memory>

#include "base/windows/wide_names.h"

namespace brevo {
namespace {

void (*interruptHandler)() = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    if (interruptHandler != nullptr) interruptHandler();
    return TRUE;
}

HANDLE handleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
}

struct LocalFreer {
    void operator()(wchar_t** memory) const { ::LocalFree(memory); }
};

}  // namespace

// The C library takes the device NUL for a terminal too; only a console has a console mode.
bool isTerminal(std::FILE* stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(handleOf(stream), &mode) != 0;
}

void onInterrupt(void (*handler)()) {
    interruptHandler = handler;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void prepareTerminal() {
    ::SetConsoleOutputCP(CP_UTF8);
    const HANDLE error = handleOf(stderr);
    DWORD mode = 0;
    if (::GetConsoleMode(error, &mode)) {
        ::SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}

// The arguments the C library hands over are in the ANSI code page, which cannot hold every
// name; the command line itself is UTF-16.
std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreer> wide(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(windows::utf8FromWide(wide.get()[i]));
    return arguments;
}

}  // namespace brevo
