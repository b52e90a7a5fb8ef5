// gzimport-gui: the window. Takes --db to open another database than
// "gzgl.mdb" in the working directory.
#include <QCommandLineParser>
#include <memory>

#include "shell/exception_display.h"
#include "shell/gui_application.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"

int main(int argc, char** argv) {
  gz::shell::GuiApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("gzimport-gui"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Imports personnel workbooks into the payroll database."));
  parser.addHelpOption();
  QCommandLineOption dbOption(
      QStringLiteral("db"),
      QStringLiteral("The database: an SQLite file, postgresql://user@host:port/name or "
                     "odbc:<connection string>. Default: gzgl.mdb in the working directory."),
      QStringLiteral("DB"), QStringLiteral("gzgl.mdb"));
  parser.addOption(dbOption);
  parser.process(app);

  gz::shell::QtMessageBoxes boxes;
  app.setMessageBoxes(&boxes);
  gz::shell::WindowSetup setup;
  setup.boxes = &boxes;
  setup.database = parser.value(dbOption);

  // A failure while the window is being made is shown, and the program
  // ends without an error status, as it does when the database is missing.
  std::unique_ptr<gz::shell::TFSYDbf> window;
  if (!gz::shell::runHandler(boxes, nullptr,
                             [&] { window = std::make_unique<gz::shell::TFSYDbf>(setup); }))
    return 0;
  QObject::connect(window.get(), &gz::shell::TFSYDbf::quitRequested, &app,
                   [](int status) { QCoreApplication::exit(status); });
  window->show();
  return app.exec();
}
