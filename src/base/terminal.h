#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace brevo {

// Whether `stream` is an interactive terminal (a console window on Windows) rather than a
// file, a pipe or a device.
bool isTerminal(std::FILE* stream);

// Calls `handler` when the user presses Ctrl-C. It runs in a signal handler or on a thread of
// its own, so it may only set an atomic flag.
void onInterrupt(void (*handler)());

// Text written to the terminal is UTF-8 and may move the cursor with escape sequences.
void prepareTerminal();

// The program's arguments after its name, with file names as the core takes them (UTF-8 on
// Windows, whatever the ANSI code page).
std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace brevo
