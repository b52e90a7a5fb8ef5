// gzimport import: one workbook into a department, as the window's 导入 does.

#include <QCommandLineParser>
#include <memory>
#include <optional>

#include "cli/command.h"
#include "cli/console_frontend.h"
#include "cli/dry_run_connection.h"
#include "cli/options.h"
#include "cli/terminal.h"
#include "codes/code_map.h"
#include "codes/dm_file.h"
#include "cli/open_work_database.h"
#include "db/connection.h"
#include "import/column_map.h"
#include "import/import_run.h"
#include "text/gbk.h"
#include "tree/institutions.h"

namespace gz::cli {
namespace {

int exitStatusFor(const imp::ImportOutcome& o) {
  switch (o.end) {
    case imp::RunEnd::Completed:
    case imp::RunEnd::Aborted:
      return kOk;
    default:
      return kFailed;
  }
}

int runImport(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Imports the active sheet of WORKBOOK into the department CODE: one person per row,\n"
      "with education, position and assessment history.");
  const QCommandLineOption dbOption = databaseOption();
  parser.addOption(dbOption);
  parser.addOption({"dept", "The department, by its institution code (jgdm).", "CODE"});
  parser.addOption({"overwrite", "Replace the department's people instead of adding to them."});
  parser.addOption({"codes", "The code file (default dm.txt in the working directory).", "FILE", "dm.txt"});
  parser.addOption({"dry-run", "Run the whole import and leave nothing in the database."});
  parser.addPositionalArgument("WORKBOOK", "The workbook (.xls or .xlsx).");
  if (const auto status = parseArguments(parser, args, 1)) return *status;
  if (!parser.isSet("dept")) return usageError("--dept CODE is required", parser.helpText().toStdString());

  std::unique_ptr<db::Connection> connection;
  std::optional<tree::JGData> department;
  try {
    connection = openWorkDatabase(parser.value(dbOption), db::SchemaUse::Import);
    department = findDepartmentByCode(*connection, parser.value("dept"));
  } catch (const db::DbError& e) {
    return fail(e.what());
  }
  if (!department)
    return fail("机构代码不存在: " + parser.value("dept").toStdString() + " (dm_jg 中没有此代码)");

  codes::CodeMap codeMap;
  ConsoleFrontend frontend(stderrIsTerminal());
  try {
    const auto loaded = codes::loadDmFile(codeMap, parser.value("codes").toStdU16String());
    if (loaded.status == codes::DmLoadOutcome::Status::Missing)
      frontend.errorLine(std::string(codes::kDmFileMissingLine));
  } catch (const codes::DmFileError& e) {
    return fail(e.what());
  }

  imp::ImportRequest request;
  request.departmentCode = tree::departmentCode(*department);
  request.workbookPath = parser.positionalArguments().front().toStdString();
  request.mode = parser.isSet("overwrite") ? imp::ImportMode::Overwrite : imp::ImportMode::Append;

  installInterruptHandler();
  imp::ColumnMap columns;
  imp::ImportOutcome outcome;
  try {
    if (parser.isSet("dry-run")) {
      DryRunConnection preview(*connection);
      outcome = imp::AInputExecute(preview, codeMap, columns, frontend, request);
      printOut("(试运行: 数据库未作任何改动)");
    } else {
      outcome = imp::AInputExecute(*connection, codeMap, columns, frontend, request);
    }
  } catch (const db::DbError& e) {
    return fail(e.what());
  }
  return exitStatusFor(outcome);
}

const CommandRegistration registration{
    {"import", "import a workbook into a department", runImport}};

}  // namespace
}  // namespace gz::cli
