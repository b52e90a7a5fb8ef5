// `gzimport people [--db DB] --dept CODE`: prints the people of a department
// and of every department below it, as the window's grid shows them
// (tab-separated, headed by the column names), then the head count.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <exception>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/help_text.h"
#include "cli/open_work_database.h"
#include "cli/options.h"
#include "db/connection.h"
#include "text/gb18030.h"
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
  parser.setApplicationDescription(
      QCoreApplication::translate("gzimport", "Prints the people of a department and of every department below it."));
  const QCommandLineOption dbOption = databaseOption();
  const QCommandLineOption deptOption(
      "dept", QCoreApplication::translate("gzimport", "The department code (an institution code of the tree)."),
      "CODE");
  parser.addOption(dbOption);
  parser.addOption(deptOption);
  if (const auto status = parseArguments(parser, args, 0)) return *status;
  if (!parser.isSet(deptOption))
    return usageError(QCoreApplication::translate("gzimport", "--dept CODE is required").toStdString(),
                      helpTextOf(parser));

  try {
    auto connection = openWorkDatabase(parser.value(dbOption), db::SchemaUse::PersonnelView);
    const std::optional<tree::JGData> department = findDepartmentByCode(*connection, parser.value(deptOption));
    if (!department) return fail("机构代码不存在: " + parser.value(deptOption).toStdString() + " (dm_jg 中没有此代码)");

    const auto people = tree::queryDepartmentPeople(*connection, tree::departmentCode(*department));
    printOut(tabJoined(tree::kPersonnelColumns, [](const char* name) { return std::string(name); }));
    for (const tree::PersonnelRow& row : people) {
      printOut(tabJoined(row, [](const std::string& gbk) { return text::gb18030ToUtf8(gbk); }));
    }
    printOut(text::gb18030ToUtf8(tree::headCountText(people.size())));
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  return kOk;
}

const CommandRegistration registration({"people", QT_TRANSLATE_NOOP("gzimport", "Print the people of a department"),
                                        runPeople});

}  // namespace
}  // namespace gz::cli
