#include "shell/exception_display.h"

#include <QCoreApplication>
#include <string>

#include "shell/message_boxes.h"
#include "text/gb18030.h"

namespace gz::shell {

QString exceptionText(std::exception_ptr e) {
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& x) {
    const std::string what = x.what();
    // Database and file errors say what went wrong in UTF-8; anything that
    // is not valid UTF-8 came from inside the core and is GBK.
    return text::isValidUtf8(what) ? QString::fromStdString(what) : text::gb18030ToQString(what);
  } catch (...) {
    return QString();
  }
}

void showException(MessageBoxes& boxes, QWidget* parent, std::exception_ptr e) {
  boxes.show(parent, exceptionText(e), QCoreApplication::applicationName(), BoxIcon::Error);
}

bool runHandler(MessageBoxes& boxes, QWidget* parent, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (...) {
    showException(boxes, parent, std::current_exception());
    return false;
  }
}

}  // namespace gz::shell
