// Runs every window test class under the application object the program
// itself uses, so escaped exceptions are handled as in the real window.
#include <QTest>

#include "shell/gui_application.h"
#include "tests.h"

int main(int argc, char** argv) {
  gz::shell::GuiApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("gzimport-gui"));
  int failed = 0;
  for (QObject* t : gz::shell::testing::allTests()) {
    failed += QTest::qExec(t, argc, argv);
    delete t;
  }
  return failed == 0 ? 0 : 1;
}
