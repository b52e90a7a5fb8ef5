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

  if (!isCommand) {
    if (name.empty()) {
      printErr(usage());
      return kUsage;
    }
    if (name == "--help" || name == "-h" || name == "help") {
      printOut(usage());
      return kOk;
    }
    printErr("gzimport: unknown option '" + name + "'");
    printErr(usage());
    return kUsage;
  }
  for (const Command& c : commands()) {
    if (name == c.name) return c.run(QCoreApplication::arguments());
  }
  printErr("gzimport: unknown command '" + name + "'");
  printErr(usage());
  return kUsage;
}
