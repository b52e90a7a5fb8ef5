// gzimport import: one workbook into a department, as the window's 导入 does.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <optional>
#include <variant>

#include "cli/command.h"
#include "cli/console_frontend.h"
#include "cli/dry_run_connection.h"
#include "cli/open_work_database.h"
#include "cli/options.h"
#include "cli/terminal.h"
#include "cli/workbook_password.h"
#include "codes/code_map.h"
#include "codes/dm_file.h"
#include "db/connection.h"
#include "import/column_map.h"
#include "import/import_run.h"
#include "sheet/workbook.h"
#include "text/gb18030.h"
#include "tree/institutions.h"

namespace gz::cli {
namespace {

int exitStatusFor(const imp::ImportOutcome& o) {
  switch (o.end) {
    case imp::RunEnd::Completed:
    case imp::RunEnd::Aborted: return kOk;
    default: return kFailed;
  }
}

int runImport(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QCoreApplication::translate("gzimport",
                                  "Imports the active sheet of WORKBOOK into the department CODE: one person per row,\n"
                                  "with education, position and assessment history."));
  const QCommandLineOption dbOption = databaseOption();
  parser.addOption(dbOption);
  parser.addOption(
      {"dept", QCoreApplication::translate("gzimport", "The department, by its institution code (jgdm)."), "CODE"});
  parser.addOption({"overwrite", QCoreApplication::translate(
                                     "gzimport", "Replace the department's people instead of adding to them.")});
  parser.addOption({"codes",
                    QCoreApplication::translate("gzimport", "The code file (default dm.txt in the working directory)."),
                    "FILE", "dm.txt"});
  parser.addOption(
      {"dry-run", QCoreApplication::translate("gzimport", "Run the whole import and leave nothing in the database.")});
  parser.addOption(passwordOption());
  parser.addOption(passwordFileOption());
  parser.addOption({"wait",
                    QCoreApplication::translate("gzimport",
                                                "How long to wait for a database that another program holds, or for\n"
                                                "another import into an overlapping department, before the import\n"
                                                "ends with nothing more written (default 60 seconds)."),
                    "SECONDS", QString::number(db::BusyWait::kDefaultLimit.count())});
  parser.addPositionalArgument(
      "WORKBOOK", QCoreApplication::translate(
                      "gzimport",
                      "The workbook: .xls, .xlsx, .xlsm, .et, .ett, .ods, .fods, XML Spreadsheet, a web page\n"
                      "or CSV/tab-separated text (the form is read from the file, not its name)."));
  if (const auto status = parseArguments(parser, args, 1)) return *status;
  if (!parser.isSet("dept"))
    return usageError(QCoreApplication::translate("gzimport", "--dept CODE is required").toStdString(),
                      parser.helpText().toStdString());
  bool waitIsNumber = false;
  const int waitSeconds = parser.value("wait").toInt(&waitIsNumber);
  if (!waitIsNumber || waitSeconds < 0)
    return usageError(
        QCoreApplication::translate("gzimport", "--wait takes a whole number of seconds, 0 or more").toStdString(),
        parser.helpText().toStdString());
  const auto passwords = workbookPasswordSource(parser);
  if (const int* status = std::get_if<int>(&passwords)) return *status;
  // The workbook is opened by the run, which asks for its password through this.
  const imp::WorkbookOpener openWorkbook = [&passwords](const std::string& path) {
    return sheet::openWorkbookAskingPassword(path, std::get<sheet::PasswordSource>(passwords));
  };

  std::unique_ptr<db::Connection> connection;
  std::optional<tree::JGData> department;
  try {
    connection = openWorkDatabase(parser.value(dbOption), db::SchemaUse::Import);
    connection->setBusyWait({std::chrono::seconds(waitSeconds), {}});
    department = findDepartmentByCode(*connection, parser.value("dept"));
  } catch (const db::DbError& e) {
    return fail(e.what());
  }
  if (!department) return fail("机构代码不存在: " + parser.value("dept").toStdString() + " (dm_jg 中没有此代码)");

  codes::CodeMap codeMap;
  ConsoleFrontend frontend(stderrIsTerminal());
  try {
    const auto loaded = codes::loadDmFile(codeMap, parser.value("codes").toStdU16String());
    if (loaded.status == codes::DmLoadOutcome::Status::Missing)
      frontend.errorLine(std::string(codes::kDmFileMissingLine));
    for (std::size_t line : loaded.unreadableLines) frontend.errorLine(codes::dmUnreadableLine(line));
  } catch (const codes::DmFileError& e) {
    return fail(e.what());
  }

  imp::ImportRequest request;
  request.departmentCode = tree::departmentCode(*department);
  request.workbookPath = parser.positionalArguments().front().toStdString();
  request.mode = parser.isSet("overwrite") ? imp::ImportMode::Overwrite : imp::ImportMode::Append;
  request.wait = std::chrono::seconds(waitSeconds);

  installInterruptHandler();
  imp::ColumnMap columns;
  imp::ImportOutcome outcome;
  try {
    if (parser.isSet("dry-run")) {
      DryRunConnection preview(*connection);
      outcome = imp::AInputExecute(preview, codeMap, columns, frontend, request, openWorkbook);
      printOut("(试运行: 数据库未作任何改动)");
    } else {
      outcome = imp::AInputExecute(*connection, codeMap, columns, frontend, request, openWorkbook);
    }
  } catch (const db::DbError& e) {
    return fail(e.what());
  }
  return exitStatusFor(outcome);
}

const CommandRegistration registration{
    {"import", QT_TRANSLATE_NOOP("gzimport", "Import a workbook into a department"), runImport}};

}  // namespace
}  // namespace gz::cli
