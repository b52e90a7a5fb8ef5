// The few things the command line needs from the terminal; the platform
// calls stay in terminal.cpp.
#pragma once

#include <optional>
#include <string>

namespace gz::cli {

// True when standard error is a terminal (progress is shown only there).
bool stderrIsTerminal();
// True when standard output is a terminal (its lines are not held back then).
bool stdoutIsTerminal();
// True when standard output and standard error go into one file or pipe, or
// when that cannot be told.
bool stdoutAndStderrShareFile();

// Installs a Ctrl-C handler: the first press only sets a flag (read with
// interruptRequested()), a second one ends the program as usual.
void installInterruptHandler();
bool interruptRequested();

// True when standard input is a terminal (a password can be asked for there).
bool stdinIsTerminal();

// Writes `question` (UTF-8) to standard error and reads one line from the
// terminal without showing what is typed. nullopt at the end of input. A
// Ctrl-C during the question ends the program with the echo restored.
std::optional<std::string> readPasswordFromTerminal(const std::string& question);

}  // namespace gz::cli
