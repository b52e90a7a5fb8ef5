// Subcommands of the `gzimport` command line.
//
// Each subcommand lives in its own cli/cmd_*.cpp and registers itself with a
// static CommandRegistration; main.cpp dispatches on the first argument.
#pragma once

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace gz::cli {

// Exit statuses shared by every subcommand. `import` also ends with
// kRowsNotStored when the run went through the sheet but some rows were not
// stored, and kInterrupted when Ctrl-C stopped it (128 + SIGINT, as a shell
// reports a program that the signal ended).
enum ExitStatus { kOk = 0, kFailed = 1, kUsage = 2, kRowsNotStored = 3, kInterrupted = 130 };

struct Command {
  const char* name;
  const char* summary;  // one line for the usage text, marked QT_TRANSLATE_NOOP("gzimport", ...)
  // Receives the arguments after the subcommand name, with the program name
  // prepended (so a QCommandLineParser can process() them). Returns the exit status.
  std::function<int(const QStringList& args)> run;
};

class CommandRegistration {
 public:
  explicit CommandRegistration(Command c);
};

const std::vector<Command>& commands();

// Output helpers: `utf8` is written as is, followed by a line break.
void printOut(const std::string& utf8);
void printErr(const std::string& utf8);
// One-line error on stderr ("gzimport: ..."), returning kFailed.
int fail(const std::string& utf8);
// A usage error: the message and the subcommand's help on stderr, returning kUsage.
int usageError(const std::string& utf8, const std::string& helpText);

}  // namespace gz::cli
