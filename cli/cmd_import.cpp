// gzimport import: one workbook into a department, as the window's 导入 does.

#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <optional>
#include <variant>

#include "cli/command.h"
#include "cli/console_frontend.h"
#include "cli/import_command.h"
#include "cli/open_work_database.h"
#include "cli/options.h"
#include "cli/terminal.h"
#include "cli/titles_file.h"
#include "codes/code_map.h"
#include "codes/dm_file.h"
#include "db/connection.h"
#include "import/reports/check_report.h"
#include "import/reports/reject_workbook.h"
#include "import/reports/row_results.h"
#include "import/run/import_run.h"
#include "import/shared/column_map.h"
#include "import/shared/run_texts.h"
#include "import/shared/step_context.h"
#include "import/writers/dry_run_connection.h"
#include "journal/journal_error.h"
#include "journal/journal_place.h"
#include "journal/journalled_run.h"
#include "sheet/open_workbook.h"
#include "sheet/pending_workbook.h"
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

// The workbooks the run writes when it is over (--rejects, --report), each
// made sure of before the run begins: a folder that does not exist or cannot
// be written ends the command before anything is stored.
struct RunReports {
  std::optional<sheet::PendingWorkbook> rejects;
  std::optional<sheet::PendingWorkbook> report;
  imp::RowResults results;
};

std::optional<int> prepareReports(const ImportCommand& command, RunReports& reports) {
  try {
    if (command.rejects) reports.rejects.emplace(command.rejects->toStdString());
    if (command.report) reports.report.emplace(command.report->toStdString());
  } catch (const sheet::WorkbookWriteError& e) {
    return fail(std::string(e.what()) + "; 导入没有开始");
  }
  return std::nullopt;
}

// --rejects: the rows not stored go to the workbook prepared for them. An
// exit status when it cannot be written.
std::optional<int> writeRejects(const imp::ImportOutcome& o, sheet::PendingWorkbook& file) {
  if (o.rejects.rows.empty()) {
    // An earlier file of that name is left as it is.
    printOut("没有未导入的行, 未写入 " + file.target());
    return std::nullopt;
  }
  try {
    imp::writeRejectWorkbook(file.partPath(), o.rejects);
    file.commit();
  } catch (const sheet::WorkbookWriteError& e) {
    return fail(e.what());
  }
  printOut("未导入的" + std::to_string(o.rejects.rows.size()) + "行已写入 " + file.target());
  return std::nullopt;
}

// --report: every row the run went through, with what it does with the row
// and why. A run that ended before the rows leaves the file as it was.
std::optional<int> writeReport(const imp::ImportOutcome& o, RunReports& reports) {
  sheet::PendingWorkbook& file = *reports.report;
  if (o.end != imp::RunEnd::Completed && o.end != imp::RunEnd::Aborted && o.end != imp::RunEnd::Failed) {
    printOut("没有读到数据行, 未写入 " + file.target());
    return std::nullopt;
  }
  try {
    imp::writeCheckReport(file.partPath(), reports.results);
    file.commit();
  } catch (const sheet::WorkbookWriteError& e) {
    return fail(e.what());
  }
  printOut("检查结果(" + std::to_string(reports.results.size()) + "行)已写入 " + file.target());
  return std::nullopt;
}

// The database and the department the rows go into.
struct ImportTarget {
  std::unique_ptr<db::Connection> connection;
  tree::JGData department;
};

// Opens the database and finds the department; the exit status when either fails.
std::variant<ImportTarget, int> openTarget(const ImportCommand& command) {
  ImportTarget target;
  std::optional<tree::JGData> department;
  try {
    target.connection = openWorkDatabase(command.database, db::SchemaUse::Import);
    target.connection->setBusyWait({std::chrono::seconds(command.waitSeconds), {}});
    department = findDepartmentByCode(*target.connection, command.departmentCode);
  } catch (const db::DbError& e) {
    return fail(e.what());
  }
  if (!department) return fail("机构代码不存在: " + command.departmentCode.toStdString() + " (dm_jg 中没有此代码)");
  target.department = std::move(*department);
  return target;
}

// Loads the code file, telling the operator of a missing file and of lines
// that cannot be read. The exit status when the file cannot be read at all.
std::optional<int> loadCodes(codes::CodeMap& codeMap, ConsoleFrontend& frontend, const QString& path) {
  try {
    const auto loaded = codes::loadDmFile(codeMap, path.toStdU16String());
    if (loaded.status == codes::DmLoadOutcome::Status::Missing)
      frontend.errorLine(std::string(codes::kDmFileMissingLine));
    for (std::size_t line : loaded.unreadableLines) frontend.errorLine(codes::dmUnreadableLine(line));
  } catch (const codes::DmFileError& e) {
    return fail(e.what());
  }
  return std::nullopt;
}

imp::ImportRequest runRequest(const ImportCommand& command, const tree::JGData& department) {
  imp::ImportRequest request;
  request.departmentCode = tree::departmentCode(department);
  request.workbookPath = command.workbook.toStdString();
  request.mode = command.overwrite ? imp::ImportMode::Overwrite : imp::ImportMode::Append;
  request.firstRow = command.startRow;
  request.sheet = command.sheet;
  request.checkDuplicates = !command.allowDuplicates;
  request.updateExisting = command.updateExisting;
  request.titleChoices = command.titles;
  request.wait = std::chrono::seconds(command.waitSeconds);
  return request;
}

// Runs the import, into a connection that keeps nothing with --dry-run.
// Throws db::DbError.
imp::ImportOutcome execute(db::Connection& connection, codes::CodeMap& codeMap, ConsoleFrontend& frontend,
                           const ImportCommand& command, const imp::ImportRequest& request) {
  // The workbook is opened by the run, which asks for its password through this.
  // Asked once, though the run may open the workbook again for another sheet.
  const sheet::PasswordSource passwords = sheet::rememberingPassword(command.passwords);
  const imp::SheetOpener openWorkbook = [&passwords](const std::string& path, const sheet::SheetRequest& sheet) {
    return sheet::openWorkbookAskingPassword(path, passwords, sheet);
  };
  imp::ColumnMap columns;
  if (!command.dryRun) return imp::AInputExecute(connection, codeMap, columns, frontend, request, openWorkbook);
  imp::DryRunConnection preview(connection);
  imp::ImportOutcome outcome = imp::AInputExecute(preview, codeMap, columns, frontend, request, openWorkbook);
  if (outcome.end == imp::RunEnd::Completed || outcome.end == imp::RunEnd::Aborted)
    printOut(text::gb18030ToUtf8(imp::checkDoneText(outcome)));
  printOut("(试运行: 数据库未作任何改动)");
  return outcome;
}

// Writes the run down ahead of its commits, so that `gzimport undo` can take
// it back. A run whose journal cannot be written does not start, unless
// --no-journal says to run it anyway. The exit status when it must not start.
std::optional<int> startJournal(const ImportCommand& command, db::Connection& connection, imp::ImportRequest& request,
                                std::unique_ptr<journal::JournalledRun>& journalled) {
  if (command.dryRun) return std::nullopt;
  if (command.noJournal) {
    printErr("gzimport: 不记撤销日志 (--no-journal): 这次导入不能撤销");
    return std::nullopt;
  }
  try {
    journalled =
        std::make_unique<journal::JournalledRun>(journal::journalPath(), connection, command.database.toStdString(),
                                                 request.departmentCode, request.mode, request.workbookPath);
  } catch (const journal::JournalError& e) {
    return fail(std::string(e.what()) + "; 导入没有开始 (加 --no-journal 可以照样导入, 但那次导入不能撤销)");
  }
  request.journal = &journalled->journal();
  return std::nullopt;
}

int runImport(const ImportCommand& command) {
  RunReports reports;
  if (const std::optional<int> failed = prepareReports(command, reports)) return *failed;
  std::variant<ImportTarget, int> target = openTarget(command);
  if (const int* status = std::get_if<int>(&target)) return *status;
  const auto& [connection, department] = std::get<ImportTarget>(target);

  codes::CodeMap codeMap;
  ConsoleFrontend frontend(stderrIsTerminal());
  if (const std::optional<int> failed = loadCodes(codeMap, frontend, command.codeFile)) return *failed;
  if (command.skipExisting) frontend.answerDuplicatesWith(imp::DuplicateAnswer::SkipExisting);
  frontend.takeFoundTitles(command.findTitles);
  imp::ImportRequest request = runRequest(command, department);
  if (reports.report) request.results = &reports.results;
  if (const std::optional<int> failed = loadTitleNames(request.titleNames, command.codeFile)) return *failed;

  std::unique_ptr<journal::JournalledRun> journalled;
  if (const std::optional<int> failed = startJournal(command, *connection, request, journalled)) return *failed;
  installInterruptHandler();
  imp::ImportOutcome outcome;
  try {
    outcome = execute(*connection, codeMap, frontend, command, request);
  } catch (const db::DbError& e) {
    return fail(e.what());
  }
  if (reports.rejects) {
    if (const std::optional<int> failed = writeRejects(outcome, *reports.rejects)) return *failed;
  }
  if (reports.report) {
    if (const std::optional<int> failed = writeReport(outcome, reports)) return *failed;
  }
  return exitStatusFor(outcome);
}

int parseAndRunImport(const QStringList& args) {
  std::variant<ImportCommand, int> parsed = parseImportCommand(args);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  return runImport(std::get<ImportCommand>(parsed));
}

const CommandRegistration registration{
    {"import", QT_TRANSLATE_NOOP("gzimport", "Import a workbook into a department"), parseAndRunImport}};

}  // namespace
}  // namespace gz::cli
