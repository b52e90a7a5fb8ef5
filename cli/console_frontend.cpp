#include "cli/console_frontend.h"

#include <cstdio>

#include "cli/command.h"
#include "cli/terminal.h"
#include "text/gbk.h"

namespace gz::cli {

using text::gbkToUtf8;

void ConsoleFrontend::importLine(const std::string& gbk) {
  clearProgress();
  printOut(gbkToUtf8(gbk));
}

void ConsoleFrontend::errorLine(const std::string& gbk) {
  clearProgress();
  printErr(gbkToUtf8(gbk));
}

void ConsoleFrontend::statusText(int panel, const std::string& gbk) {
  clearProgress();
  // Panel 0 is the head count of the window's grid; the command line has none.
  if (panel == 1) printOut(gbkToUtf8(gbk));
}

void ConsoleFrontend::messageBox(const std::string& text, const std::string& caption) {
  clearProgress();
  printOut("[" + gbkToUtf8(caption) + "] " + gbkToUtf8(text));
}

void ConsoleFrontend::plainMessage(const std::string& text) {
  clearProgress();
  printOut(gbkToUtf8(text));
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
