#include "cli/terminal.h"

#include <atomic>
#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define GZ_ISATTY _isatty
#define GZ_FILENO _fileno
#else
#include <unistd.h>
#define GZ_ISATTY isatty
#define GZ_FILENO fileno
#endif

namespace gz::cli {

namespace {
volatile std::sig_atomic_t g_interrupted = 0;

// The first Ctrl-C asks the run to stop after the current row; a second one
// ends the process at once (every committed row is whole either way).
extern "C" void onInterrupt(int) {
  g_interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}
}  // namespace

bool stderrIsTerminal() { return GZ_ISATTY(GZ_FILENO(stderr)) != 0; }

void installInterruptHandler() { std::signal(SIGINT, onInterrupt); }

bool interruptRequested() { return g_interrupted != 0; }

}  // namespace gz::cli
