#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <algorithm>

#include "cli/command.h"

namespace gz::cli {

namespace {
std::vector<Command>& registry() {
  static std::vector<Command> r;
  return r;
}

std::string usage() {
  std::string u = "Usage: gzimport <command> [options]\n\nCommands:\n";
  for (const Command& c : registry()) {
    std::string name = c.name;
    name.resize(std::max<std::size_t>(name.size() + 2, 10), ' ');
    u += "  " + name + c.summary;
    u += '\n';
  }
  u += "\nRun 'gzimport <command> --help' for a command's options.";
  return u;
}
}  // namespace

CommandRegistration::CommandRegistration(Command c) { registry().push_back(std::move(c)); }
const std::vector<Command>& commands() { return registry(); }

void printOut(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}
void printErr(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}
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
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("gzimport");
  using namespace gz::cli;
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 2 || args[1] == "--help" || args[1] == "-h" || args[1] == "help") {
    if (args.size() < 2) {
      printErr(usage());
      return kUsage;
    }
    printOut(usage());
    return kOk;
  }
  const std::string name = args[1].toStdString();
  for (const Command& c : commands()) {
    if (name == c.name) {
      QStringList rest = args.mid(2);
      rest.prepend(QStringLiteral("gzimport ") + args[1]);
      return c.run(rest);
    }
  }
  printErr("gzimport: unknown command '" + name + "'");
  printErr(usage());
  return kUsage;
}
