// The application object. Every event goes through notify(): an exception
// that escapes an event handler is shown instead of ending the program.
#pragma once

#include <QApplication>

namespace gz::shell {

class MessageBoxes;

class GuiApplication : public QApplication {
 public:
  GuiApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Where escaped exceptions are shown; the real message boxes by default.
  void setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes; }

 private:
  MessageBoxes* boxes_;
};

}  // namespace gz::shell
