// gzimport import: one workbook into a department, as the window's 导入 does.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <chrono>
#include <memory>
#include <optional>
#include <variant>

#include "cli/command.h"
#include "cli/console_frontend.h"
#include "cli/open_work_database.h"
#include "cli/options.h"
#include "cli/terminal.h"
#include "cli/workbook_password.h"
#include "codes/code_map.h"
#include "codes/dm_file.h"
#include "db/connection.h"
#include "import/column_map.h"
#include "import/dry_run_connection.h"
#include "import/import_run.h"
#include "import/reject_workbook.h"
#include "import/run_texts.h"
#include "import/step_context.h"
#include "sheet/workbook.h"
#include "sheet/xlsx_writer.h"
#include "text/gb18030.h"
#include "tree/institutions.h"

namespace gz::cli {
namespace {

int exitStatusFor(const imp::ImportOutcome& o) {
  switch (o.end) {
    case imp::RunEnd::Completed: return o.rowsFailed == 0 ? kOk : kRowsNotStored;
    // The only abort on the command line is Ctrl-C.
    case imp::RunEnd::Aborted: return kInterrupted;
    case imp::RunEnd::NoFile:
    case imp::RunEnd::WorkbookUnreadable:
    case imp::RunEnd::LayoutRejected:
    case imp::RunEnd::Failed:
    case imp::RunEnd::AlreadyRunning:
    case imp::RunEnd::Cancelled: return kFailed;
    case imp::RunEnd::StartRowOutside: return kUsage;
  }
  return kFailed;
}

// --rejects: the rows not stored go to the workbook at `path`. An exit
// status when it cannot be written.
std::optional<int> writeRejects(const imp::ImportOutcome& o, const QString& path) {
  if (o.rejects.rows.empty()) {
    // An earlier file of that name is left as it is.
    printOut("没有未导入的行, 未写入 " + path.toStdString());
    return std::nullopt;
  }
  try {
    imp::writeRejectWorkbook(path.toStdString(), o.rejects);
  } catch (const sheet::WorkbookWriteError& e) {
    return fail(e.what());
  }
  printOut("未导入的" + std::to_string(o.rejects.rows.size()) + "行已写入 " + path.toStdString());
  return std::nullopt;
}

int runImport(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QCoreApplication::translate("gzimport",
                                  "Imports the active sheet of WORKBOOK into the department CODE: one person per row,\n"
                                  "with education, position and assessment history.\n"
                                  "\n"
                                  "Exit status:\n"
                                  "  0    every row was stored\n"
                                  "  3    the run went through the sheet, but some rows were not stored\n"
                                  "  1    the run failed or was refused (database, workbook, code file)\n"
                                  "  2    the command line is wrong\n"
                                  "  130  stopped by Ctrl-C after a whole row; the rows before it are stored"));
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
  parser.addOption({"start-row",
                    QCoreApplication::translate("gzimport",
                                                "Continue an import that ended early from sheet row N (its last line\n"
                                                "names the row); the rows go to the department as with append."),
                    "N"});
  parser.addOption(
      {"skip-existing", QCoreApplication::translate("gzimport",
                                                    "Append: leave out the rows whose id card number a person of the\n"
                                                    "department already has, and import the others.")});
  parser.addOption({"allow-duplicates",
                    QCoreApplication::translate("gzimport",
                                                "Append: import every row, even when the department already has a\n"
                                                "person with its id card number. Without either option such rows\n"
                                                "refuse the whole import.")});
  parser.addOption({"rejects",
                    QCoreApplication::translate("gzimport",
                                                "Write the rows that were not stored into the new workbook FILE.xlsx:\n"
                                                "the title row, each such row as read and the reason. Put right,\n"
                                                "it imports as it is."),
                    "FILE.xlsx"});
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
  int32_t startRow = imp::kFirstDataRow;
  if (parser.isSet("start-row")) {
    bool number = false;
    startRow = parser.value("start-row").toInt(&number);
    if (!number || startRow < imp::kFirstDataRow)
      return usageError(
          QCoreApplication::translate("gzimport", "--start-row N needs a sheet row number from 2 on").toStdString(),
          parser.helpText().toStdString());
    // Overwriting again would delete the rows the earlier run stored.
    if (parser.isSet("overwrite"))
      return usageError(
          QCoreApplication::translate("gzimport", "--start-row continues by adding rows; it cannot go with --overwrite")
              .toStdString(),
          parser.helpText().toStdString());
  }
  if (parser.isSet("skip-existing") && parser.isSet("allow-duplicates"))
    return usageError(
        QCoreApplication::translate("gzimport", "--skip-existing and --allow-duplicates exclude each other")
            .toStdString(),
        parser.helpText().toStdString());
  const QString rejectsPath = parser.value("rejects");
  if (parser.isSet("rejects") && !rejectsPath.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
    return usageError(
        QCoreApplication::translate("gzimport", "--rejects needs a file name ending in .xlsx").toStdString(),
        parser.helpText().toStdString());
  // Writing the rejects over the workbook would lose the rows that were stored.
  if (parser.isSet("rejects") && !parser.positionalArguments().isEmpty() &&
      QFileInfo(rejectsPath).absoluteFilePath() == QFileInfo(parser.positionalArguments().front()).absoluteFilePath())
    return usageError(
        QCoreApplication::translate("gzimport", "--rejects must name another file than the workbook").toStdString(),
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
  request.firstRow = startRow;
  request.checkDuplicates = !parser.isSet("allow-duplicates");
  if (parser.isSet("skip-existing")) frontend.answerDuplicatesWith(imp::DuplicateAnswer::SkipExisting);
  request.wait = std::chrono::seconds(waitSeconds);

  installInterruptHandler();
  imp::ColumnMap columns;
  imp::ImportOutcome outcome;
  try {
    if (parser.isSet("dry-run")) {
      imp::DryRunConnection preview(*connection);
      outcome = imp::AInputExecute(preview, codeMap, columns, frontend, request, openWorkbook);
      if (outcome.end == imp::RunEnd::Completed || outcome.end == imp::RunEnd::Aborted)
        printOut(text::gb18030ToUtf8(imp::checkDoneText(outcome)));
      printOut("(试运行: 数据库未作任何改动)");
    } else {
      outcome = imp::AInputExecute(*connection, codeMap, columns, frontend, request, openWorkbook);
    }
  } catch (const db::DbError& e) {
    return fail(e.what());
  }
  if (parser.isSet("rejects")) {
    if (const std::optional<int> failed = writeRejects(outcome, rejectsPath)) return *failed;
  }
  return exitStatusFor(outcome);
}

const CommandRegistration registration{
    {"import", QT_TRANSLATE_NOOP("gzimport", "Import a workbook into a department"), runImport}};

}  // namespace
}  // namespace gz::cli
