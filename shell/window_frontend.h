// The import run's front end over the window's widgets: the two panes, the
// status panels, the progress bar, the message boxes and the abort flag.
//
// Pane lines are collected and written a few times a second, when the run
// lets events through: redrawing the panes for every row would make a large
// import many times slower. Everything is written before a message box opens
// and when the front end goes away, so what the operator reads is complete.
#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <cstdint>
#include <string>

#include "import/frontend.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace gz::shell {

class MessageBoxes;

struct FrontendWidgets {
  QWidget* window = nullptr;  // parent of the message boxes
  QPlainTextEdit* importPane = nullptr;
  QPlainTextEdit* errorPane = nullptr;
  QLabel* statusPanels[2] = {nullptr, nullptr};
  QProgressBar* progressBar = nullptr;
};

class WindowFrontend final : public imp::Frontend {
 public:
  // `abortFlag` is the window's: the abort button sets it, the run clears
  // and polls it through this object.
  WindowFrontend(const FrontendWidgets& widgets, MessageBoxes& boxes, int32_t& abortFlag)
      : w_(widgets), boxes_(boxes), abortFlag_(abortFlag) {
    sinceFlush_.start();
  }
  ~WindowFrontend() override { flush(); }
  WindowFrontend(const WindowFrontend&) = delete;
  WindowFrontend& operator=(const WindowFrontend&) = delete;

  void importLine(const std::string& gbk) override;
  void errorLine(const std::string& gbk) override;
  void statusText(int panel, const std::string& gbk) override;
  void messageBox(const std::string& text, const std::string& caption) override;
  void plainMessage(const std::string& text) override;
  void processEvents() override;
  void clearAbort() override { abortFlag_ = 0; }
  bool abortRequested() override { return abortFlag_ != 0; }
  void progress(int done, int total) override;

  // Writes the collected pane lines.
  void flush();

 private:
  FrontendWidgets w_;
  MessageBoxes& boxes_;
  int32_t& abortFlag_;
  QStringList pendingImport_, pendingError_;
  QElapsedTimer sinceFlush_;
};

}  // namespace gz::shell
