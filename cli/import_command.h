// The import subcommand's command line: its options, the rules they must
// keep, and what they ask for once checked. Nothing is opened here; the run
// (cli/cmd_import.cpp) takes the parsed command.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "import/shared/title_mapping.h"
#include "sheet/crypto/passwords.h"
#include "sheet/model/workbook.h"

namespace gz::cli {

// What `gzimport import` was asked to do, every option checked.
struct ImportCommand {
  QString database;
  QString departmentCode;  // as given; the run looks it up
  QString codeFile;
  QString workbook;
  std::optional<QString> rejects;  // --rejects FILE.xlsx
  std::optional<QString> report;   // --report FILE.xlsx
  bool overwrite = false;
  bool dryRun = false;
  bool noJournal = false;  // --no-journal: the run is not written down and cannot be taken back
  bool skipExisting = false;
  bool allowDuplicates = false;
  bool updateExisting = false;  // --update-existing: rows update the people with their id card numbers
  bool findTitles = false;  // --find-titles: import by a header found below row 1
  std::vector<imp::TitleChoice> titles;  // --title TITLE=SHEET_TITLE, GB 18030: the operator's mapping
  int32_t startRow = 0;  // the first sheet row read
  sheet::SheetRequest sheet;  // --sheet NAME|NUMBER: the sheet read, else the active one
  int waitSeconds = 0;
  sheet::PasswordSource passwords;
};

// Parses the arguments after `import`, the program name first. Returns the
// exit status instead when the command ends here: the help was printed, or
// a usage error or an unreadable password file was reported.
std::variant<ImportCommand, int> parseImportCommand(const QStringList& args);

}  // namespace gz::cli
