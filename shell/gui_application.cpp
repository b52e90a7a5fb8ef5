#include "shell/gui_application.h"

#include "shell/exception_display.h"
#include "shell/message_boxes.h"

namespace gz::shell {

namespace {
QtMessageBoxes& realBoxes() {
  static QtMessageBoxes boxes;
  return boxes;
}
}  // namespace

GuiApplication::GuiApplication(int& argc, char** argv) : QApplication(argc, argv), boxes_(&realBoxes()) {}

bool GuiApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    showException(*boxes_, activeWindow(), std::current_exception());
    return false;
  }
}

}  // namespace gz::shell
