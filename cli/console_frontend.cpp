#include "cli/console_frontend.h"

#include <cstdio>

#include "cli/command.h"
#include "cli/terminal.h"
#include "text/gb18030.h"

namespace gz::cli {

using text::gb18030ToUtf8;

void ConsoleFrontend::importLine(const std::string& gbk) {
  clearProgress();
  printOut(gb18030ToUtf8(gbk));
}

void ConsoleFrontend::errorLine(const std::string& gbk) {
  clearProgress();
  printErr(gb18030ToUtf8(gbk));
}

void ConsoleFrontend::statusText(int panel, const std::string& gbk) {
  clearProgress();
  // Panel 0 is the head count of the window's grid; the command line has none.
  if (panel == 1) printOut(gb18030ToUtf8(gbk));
}

void ConsoleFrontend::messageBox(const std::string& text, const std::string& caption) {
  clearProgress();
  printOut("[" + gb18030ToUtf8(caption) + "] " + gb18030ToUtf8(text));
}

void ConsoleFrontend::plainMessage(const std::string& text) {
  clearProgress();
  printOut(gb18030ToUtf8(text));
}

bool ConsoleFrontend::abortRequested() { return interruptRequested(); }

void ConsoleFrontend::progress(int done, int total) {
  if (!showProgress_ || total <= 0) return;
  std::fprintf(stderr, "\r%d/%d", done, total);
  std::fflush(stderr);
  progressShown_ = true;
}

void ConsoleFrontend::clearProgress() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  progressShown_ = false;
}

}  // namespace gz::cli
