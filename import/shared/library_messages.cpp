#include "import/shared/library_messages.h"

#include <QtGlobal>

#include "sheet/shared/library_log.h"

namespace gz::imp {
namespace {

QtMessageHandler g_previous = nullptr;

// A fatal message ends the program and is still shown; the rest are dropped.
void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg && g_previous) g_previous(type, context, message);
}

}  // namespace

void dropLibraryMessages() {
  g_previous = qInstallMessageHandler(&onQtMessage);
  sheet::dropLibraryLog();
}

}  // namespace gz::imp
