#include "shell/window_frontend.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "shell/message_boxes.h"
#include "text/gb18030.h"

namespace gz::shell {

namespace {
// How often collected lines reach the panes while a run goes on.
constexpr qint64 kFlushIntervalMs = 50;

void appendLines(QPlainTextEdit* pane, QStringList& lines) {
  if (lines.isEmpty()) return;
  pane->appendPlainText(lines.join(QLatin1Char('\n')));
  lines.clear();
}
}  // namespace

void WindowFrontend::importLine(const std::string& gbk) {
  pendingImport_ << text::gb18030ToQString(gbk);
}

void WindowFrontend::errorLine(const std::string& gbk) {
  pendingError_ << text::gb18030ToQString(gbk);
}

void WindowFrontend::flush() {
  appendLines(w_.importPane, pendingImport_);
  appendLines(w_.errorPane, pendingError_);
  sinceFlush_.restart();
}

void WindowFrontend::statusText(int panel, const std::string& gbk) {
  if (panel == 0 || panel == 1) w_.statusPanels[panel]->setText(text::gb18030ToQString(gbk));
}

void WindowFrontend::messageBox(const std::string& text, const std::string& caption) {
  flush();
  boxes_.show(w_.window, text::gb18030ToQString(text), text::gb18030ToQString(caption), BoxIcon::None);
}

void WindowFrontend::plainMessage(const std::string& text) {
  flush();
  boxes_.show(w_.window, text::gb18030ToQString(text), QCoreApplication::applicationName(),
              BoxIcon::None);
}

void WindowFrontend::processEvents() {
  if (sinceFlush_.elapsed() >= kFlushIntervalMs) flush();
  QCoreApplication::processEvents();
}

void WindowFrontend::progress(int done, int total) {
  const int percent = total > 0 ? static_cast<int>(int64_t{done} * 100 / total) : 0;
  w_.progressBar->setValue(percent);
}

}  // namespace gz::shell
