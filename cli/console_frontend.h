// The import run's front end on a terminal: import-pane lines, status texts
// and messages on stdout, error-pane lines on stderr, UTF-8, one line each.
// Ctrl-C stands for the abort button; progress is drawn on stderr when it is
// a terminal.
#pragma once

#include <string>

#include "import/frontend.h"

namespace gz::cli {

class ConsoleFrontend : public imp::Frontend {
 public:
  explicit ConsoleFrontend(bool showProgress) : showProgress_(showProgress) {}
  ~ConsoleFrontend() override { clearProgress(); }

  void importLine(const std::string& gbk) override;
  void errorLine(const std::string& gbk) override;
  void statusText(int panel, const std::string& gbk) override;
  void messageBox(const std::string& text, const std::string& caption) override;
  void plainMessage(const std::string& text) override;
  void processEvents() override {}
  // One run per process: a Ctrl-C before the run began still stops it after its first row.
  void clearAbort() override {}
  bool abortRequested() override;
  void progress(int done, int total) override;

 private:
  void clearProgress();

  bool showProgress_;
  bool progressShown_ = false;
};

}  // namespace gz::cli
