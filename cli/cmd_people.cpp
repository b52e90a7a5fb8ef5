// `gzimport people [--db DB] --dept CODE`: prints the people of a department
// and of every department below it, as the window's grid shows them
// (tab-separated, headed by the column names), then the head count.
#include <QCommandLineParser>
#include <exception>
#include <string>

#include "cli/command.h"
#include "cli/open_work_database.h"
#include "db/connection.h"
#include "text/gbk.h"
#include "tree/institutions.h"
#include "tree/personnel.h"

namespace gz::cli {
namespace {

template <typename Cells, typename ToUtf8>
std::string tabJoined(const Cells& cells, ToUtf8 toUtf8) {
  std::string line;
  bool first = true;
  for (const auto& cell : cells) {
    if (!first) line += '\t';
    first = false;
    line += toUtf8(cell);
  }
  return line;
}

int runPeople(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Prints the people of a department and of every department below it.");
  parser.addHelpOption();
  const QCommandLineOption dbOption("db", "The database (default: gzgl.mdb in the working directory).",
                                    "DB", "gzgl.mdb");
  const QCommandLineOption deptOption("dept", "The department code (an institution code of the tree).",
                                      "CODE");
  parser.addOption(dbOption);
  parser.addOption(deptOption);
  const std::string help = parser.helpText().toStdString();
  if (!parser.parse(args)) return usageError(parser.errorText().toStdString(), help);
  if (parser.isSet("help")) {
    printOut(help);
    return kOk;
  }
  if (!parser.positionalArguments().isEmpty()) {
    return usageError("unexpected argument '" + parser.positionalArguments().first().toStdString() + "'", help);
  }
  if (!parser.isSet(deptOption)) return usageError("--dept CODE is required", help);

  const std::string codeUtf8 = parser.value(deptOption).toStdString();
  try {
    auto connection = openWorkDatabase(parser.value(dbOption));
    tree::InstitutionList list;
    list.load(*connection);
    text::ConversionReport report;
    const std::string code = text::utf8ToGbk(codeUtf8, &report);
    const tree::JGData* department = report.ok() ? tree::findDepartment(list.records(), code) : nullptr;
    if (department == nullptr) return fail("no department with code '" + codeUtf8 + "' in dm_jg");

    const auto people = tree::queryDepartmentPeople(*connection, tree::departmentCode(*department));
    printOut(tabJoined(tree::kPersonnelColumns, [](const char* name) { return std::string(name); }));
    for (const tree::PersonnelRow& row : people) {
      printOut(tabJoined(row, [](const std::string& gbk) { return text::gbkToUtf8(gbk); }));
    }
    printOut(text::gbkToUtf8(tree::headCountText(people.size())));
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  return kOk;
}

const CommandRegistration registration({"people", "Print the people of a department", runPeople});

}  // namespace
}  // namespace gz::cli
