#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

#include "app/translations.h"
#include "app/version.h"
#include "cli/command.h"
#include "cli/line_output.h"
#include "import/shared/library_messages.h"

namespace gz::cli {

namespace {
std::vector<Command>& registry() {
  static std::vector<Command> r;
  return r;
}

// Laid out like a command's own help and with the option parser's words,
// so that both read alike in every language.
QString usage() {
  const QString options = QCoreApplication::translate("QCommandLineParser", "[options]");
  QString u = QCoreApplication::translate("QCommandLineParser", "Usage: %1").arg("gzimport <command> " + options);
  u += "\n\n" + QCoreApplication::translate("gzimport", "Commands:") + '\n';
  for (const Command& c : registry()) {
    const QString name = QString::fromLatin1(c.name);
    u += "  " + name.leftJustified(std::max<qsizetype>(name.size() + 2, 10)) +
         QCoreApplication::translate("gzimport", c.summary) + '\n';
  }
  u += '\n' + QCoreApplication::translate("QCommandLineParser", "Options:") + '\n';
  u += "  -h, --help     " + QCoreApplication::translate("QCommandLineParser", "Displays help on commandline options.");
  u += "\n  -v, --version  " + QCoreApplication::translate("QCommandLineParser", "Displays version information.");
  u += '\n';
  u += '\n' + QCoreApplication::translate("gzimport", "Run 'gzimport <command> --help' for a command's options.");
  return u;
}
}  // namespace

CommandRegistration::CommandRegistration(Command c) { registry().push_back(std::move(c)); }
const std::vector<Command>& commands() { return registry(); }

void printOut(const std::string& utf8) { writeLine(OutputStream::Out, utf8); }
void printErr(const std::string& utf8) { writeLine(OutputStream::Err, utf8); }
int fail(const std::string& utf8) {
  printErr("gzimport: " + utf8);
  return kFailed;
}
int usageError(const std::string& utf8, const std::string& helpText) {
  printErr("gzimport: " + utf8);
  printErr(helpText);
  return kUsage;
}

}  // namespace gz::cli

int main(int argc, char** argv) {
  using namespace gz::cli;
  // The subcommand's name goes into the program name, so that each command's
  // help reads "Usage: gzimport <command> [options]".
  const std::string name = argc >= 2 ? argv[1] : "";
  const bool isCommand = !name.empty() && name[0] != '-' && name != "help";
  std::string program = isCommand ? "gzimport " + name : "gzimport";
  std::vector<char*> commandArgv{program.data()};
  for (int i = isCommand ? 2 : 1; i < argc; ++i) commandArgv.push_back(argv[i]);
  int commandArgc = static_cast<int>(commandArgv.size());
  QCoreApplication app(commandArgc, commandArgv.data());
  QCoreApplication::setApplicationName("gzimport");
  QCoreApplication::setApplicationVersion(gz::app::versionText());
  gz::app::installTranslations();
  gz::imp::dropLibraryMessages();

  if (!isCommand) {
    if (name.empty()) {
      printErr(usage().toStdString());
      return kUsage;
    }
    if (name == "--help" || name == "-h" || name == "help") {
      printOut(usage().toStdString());
      return kOk;
    }
    if (name == "--version" || name == "-v") {
      printOut("gzimport " + QCoreApplication::applicationVersion().toStdString());
      return kOk;
    }
    printErr(
        "gzimport: " +
        QCoreApplication::translate("gzimport", "unknown option '%1'").arg(QString::fromStdString(name)).toStdString());
    printErr(usage().toStdString());
    return kUsage;
  }
  for (const Command& c : commands()) {
    if (name != c.name) continue;
    const int status = c.run(QCoreApplication::arguments());
    flushLines();
    return status;
  }
  printErr(
      "gzimport: " +
      QCoreApplication::translate("gzimport", "unknown command '%1'").arg(QString::fromStdString(name)).toStdString());
  printErr(usage().toStdString());
  return kUsage;
}
