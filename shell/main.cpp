// gzimport-gui: the window. Takes --db to open another database than
// "gzgl.mdb" in the working directory.
#include <QCommandLineParser>
#include <QIcon>
#include <cstring>
#include <memory>

#include "app/translations.h"
#include "app/version.h"
#include "import/shared/library_messages.h"
#include "shell/exception_display.h"
#include "shell/gui_application.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"

namespace {

// The options, described in the user's language (installTranslations first).
struct Options {
  Options() {
    parser.setApplicationDescription(
        QCoreApplication::translate("gzimport-gui", "Imports personnel workbooks into the payroll database."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(db);
  }
  QCommandLineParser parser;
  QCommandLineOption db{QStringLiteral("db"),
                        QCoreApplication::translate("gzimport-gui",
                                                    "The database: an SQLite file, postgresql://user@host:port/name "
                                                    "or odbc:<connection string>. Default: gzgl.mdb in the working "
                                                    "directory."),
                        QStringLiteral("DB"), QStringLiteral("gzgl.mdb")};
};

// --help and --version are answered without a display, so that they work
// on a terminal without one (and for the man page made from them).
bool asksForHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--db") == 0) {
      ++i;  // its value, whatever it looks like
      continue;
    }
    for (const char* flag : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
      if (std::strcmp(argv[i], flag) == 0) return true;
    }
  }
  return false;
}

void describeProgram() {
  QCoreApplication::setApplicationName(QStringLiteral("gzimport-gui"));
  QCoreApplication::setApplicationVersion(gz::app::versionText());
  gz::app::installTranslations();
}

// The program's icon, in every size it ships (packaging/icons).
QIcon programIcon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1x%1/gzimport.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  if (asksForHelpOrVersion(argc, argv)) {
    QCoreApplication app(argc, argv);
    describeProgram();
    Options options;
    options.parser.process(app);  // prints the help or the version and ends the program
    return 0;
  }

  // Before the application, whose start-up may warn already (no runtime folder, say).
  gz::imp::dropLibraryMessages();
  gz::shell::GuiApplication app(argc, argv);
  describeProgram();
  gz::app::installWindowQtTranslations();
  QGuiApplication::setWindowIcon(programIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("gzimport-gui"));
  Options options;
  options.parser.process(app);

  gz::shell::QtMessageBoxes boxes;
  app.setMessageBoxes(&boxes);
  gz::shell::WindowSetup setup;
  setup.boxes = &boxes;
  setup.database = options.parser.value(options.db);

  // A failure while the window is being made is shown, and the program
  // ends without an error status, as it does when the database is missing.
  std::unique_ptr<gz::shell::TFSYDbf> window;
  if (!gz::shell::runHandler(boxes, nullptr, [&] { window = std::make_unique<gz::shell::TFSYDbf>(setup); })) return 0;
  QObject::connect(window.get(), &gz::shell::TFSYDbf::quitRequested, &app,
                   [](int status) { QCoreApplication::exit(status); });
  window->show();
  return app.exec();
}
