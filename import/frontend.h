// How an import run talks to whoever started it: the window, the command
// line, or a test that records everything.
#pragma once

#include <string>

namespace gz::imp {

class Frontend {
 public:
  virtual ~Frontend() = default;
  // A line at the end of the import messages pane (GB 18030).
  virtual void importLine(const std::string& gbk) = 0;
  // A line at the end of the error messages pane (GB 18030).
  virtual void errorLine(const std::string& gbk) = 0;
  // The text of status bar panel 0 (head count) or 1 (run state) (GB 18030).
  virtual void statusText(int panel, const std::string& gbk) = 0;
  // A message box with an OK button and no icon (GB 18030).
  virtual void messageBox(const std::string& text, const std::string& caption) = 0;
  // A plain message, captioned with the application's title (GB 18030).
  virtual void plainMessage(const std::string& text) = 0;
  // Lets pending window events run (where a click on the abort button arrives).
  virtual void processEvents() = 0;
  // The abort flag: cleared by the run when it starts, polled after each row.
  virtual void clearAbort() = 0;
  virtual bool abortRequested() = 0;
  // Progress: `total` data rows in the sheet (up to the first empty name), `done` of them imported.
  virtual void progress(int done, int total) = 0;
};

}  // namespace gz::imp
