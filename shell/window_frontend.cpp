#include "shell/window_frontend.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "shell/message_boxes.h"
#include "text/gbk.h"

namespace gz::shell {

void WindowFrontend::importLine(const std::string& gbk) {
  w_.importPane->appendPlainText(text::gbkToQString(gbk));
}

void WindowFrontend::errorLine(const std::string& gbk) {
  w_.errorPane->appendPlainText(text::gbkToQString(gbk));
}

void WindowFrontend::statusText(int panel, const std::string& gbk) {
  if (panel == 0 || panel == 1) w_.statusPanels[panel]->setText(text::gbkToQString(gbk));
}

void WindowFrontend::messageBox(const std::string& text, const std::string& caption) {
  boxes_.show(w_.window, text::gbkToQString(text), text::gbkToQString(caption), BoxIcon::None);
}

void WindowFrontend::plainMessage(const std::string& text) {
  boxes_.show(w_.window, text::gbkToQString(text), QCoreApplication::applicationName(),
              BoxIcon::None);
}

void WindowFrontend::processEvents() { QCoreApplication::processEvents(); }

void WindowFrontend::progress(int done, int total) {
  const int percent = total > 0 ? static_cast<int>(int64_t{done} * 100 / total) : 0;
  w_.progressBar->setValue(percent);
}

}  // namespace gz::shell
