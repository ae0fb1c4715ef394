#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace brevo {

// Whether `stream` is an interactive terminal (a console window on Windows) rather than a
// file, a pipe or a device.
bool isTerminal(std::FILE* stream);

// Calls `handler` when the user presses Ctrl-C, and on POSIX systems also on SIGTERM and
// SIGHUP. It runs in a signal handler or on a thread of its own, so it may only set an atomic
// flag.
void onInterrupt(void (*handler)());

// Text written to the terminal is UTF-8 and may move the cursor with escape sequences. A
// closed pipe makes writes fail (EPIPE) instead of ending the process.
void prepareTerminal();

// Writes all of `text` to `stream` and flushes it: 0, or the errno of the failure (EPIPE when
// the reader of a pipe went away).
int writeAndFlush(std::FILE* stream, std::string_view text);

// The program's arguments after its name, with file names as the core takes them (UTF-8 on
// Windows, whatever the ANSI code page).
std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace brevo
