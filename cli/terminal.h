// The few things the command line needs from the terminal; the platform
// calls stay in terminal.cpp.
#pragma once

namespace gz::cli {

// True when standard error is a terminal (progress is shown only there).
bool stderrIsTerminal();

// Installs a Ctrl-C handler: the first press only sets a flag (read with
// interruptRequested()), a second one ends the program as usual.
void installInterruptHandler();
bool interruptRequested();

}  // namespace gz::cli
