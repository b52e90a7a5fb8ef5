#include "import/import_run.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "codes/code_map.h"
#include "db/connection.h"
#include "import/assessment_step.h"
#include "import/batch_writer.h"
#include "import/delete_department.h"
#include "import/education_step.h"
#include "import/person_step.h"
#include "import/position_step.h"
#include "import/step_context.h"
#include "import/texts.h"
#include "import/typed_date_counter.h"
#include "sheet/workbook.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::imp {
namespace {

bool g_running = false;

// Marks a run as in progress for as long as it lives.
class RunningMark {
 public:
  RunningMark() { g_running = true; }
  ~RunningMark() { g_running = false; }
  RunningMark(const RunningMark&) = delete;
  RunningMark& operator=(const RunningMark&) = delete;
};

constexpr int kProgressEveryRows = 100;

bool workbookFileExists(const std::string& pathUtf8) {
  if (pathUtf8.empty()) return false;
  const std::u8string u8(pathUtf8.begin(), pathUtf8.end());
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(u8), ec);
}

std::string nameCell(const sheet::Workbook& book, int32_t row, int32_t column) {
  return sheet::cellText(book.value(static_cast<uint32_t>(row), static_cast<uint32_t>(column)));
}

// Data rows from row 2 up to the first empty name.
int countDataRows(const sheet::Workbook& book, int32_t nameColumn) {
  int32_t row = 2;
  while (!nameCell(book, row, nameColumn).empty()) ++row;
  return row - 2;
}

std::string rowFailureLine(int32_t row, std::string_view name, std::string_view reason) {
  std::string line(texts::kRowPrefix);
  line.append(std::to_string(row)).append(texts::kRowSuffix).append(name).append(":").append(reason);
  line.append(texts::kRowNotImported);
  return line;
}

std::string summaryLine(const ImportOutcome& o) {
  std::string s(texts::kSummaryPersons);
  s.append(std::to_string(o.personsStored)).append(texts::kSummaryFailed);
  s.append(std::to_string(o.rowsFailed)).append(texts::kSummaryHistory);
  s.append(std::to_string(o.historyRowsStored)).append(texts::kSummaryReports);
  s.append(std::to_string(o.linesReported)).append(texts::kSummaryEnd);
  return s;
}

}  // namespace

bool importRunning() { return g_running; }

ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns,
                            Frontend& frontend, const ImportRequest& request) {
  return AInputExecute(conn, codes, columns, frontend, request, &sheet::openWorkbook);
}

ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns,
                            Frontend& frontend, const ImportRequest& request, const WorkbookOpener& open) {
  ImportOutcome out;
  if (g_running) {
    out.end = RunEnd::AlreadyRunning;
    out.message = texts::kMsgAlreadyRunning;
    frontend.messageBox(out.message, std::string(texts::kCaptionInfo));
    return out;
  }
  RunningMark running;
  columns.clear();  // titles of an earlier workbook must not point into this one
  const std::string dept = text::trim(request.departmentCode);
  frontend.clearAbort();

  if (!workbookFileExists(request.workbookPath)) {
    frontend.statusText(1, std::string(texts::kMsgNoFileStatus));
    frontend.messageBox(std::string(texts::kMsgNoFileBox), std::string(texts::kCaptionFailed));
    out.end = RunEnd::NoFile;
    out.message = texts::kMsgNoFileBox;
    return out;
  }

  // Held by the run until it returns, on every path.
  std::unique_ptr<sheet::Workbook> book;
  try {
    book = open(request.workbookPath);
  } catch (const sheet::WorkbookError& e) {
    out.end = RunEnd::WorkbookUnreadable;
    out.message = std::string(texts::kMsgWorkbookUnreadable) + text::utf8ToGb18030(request.workbookPath) + ": " +
                  text::utf8ToGb18030(e.reason());
    frontend.importLine(out.message);
    frontend.messageBox(out.message, std::string(texts::kCaptionFailed));
    return out;
  }
  if (!book->notice().empty()) frontend.importLine(book->notice());

  const int32_t unreadableTitle = ReadColumnTitles(*book, columns);
  if (unreadableTitle != 0) frontend.importLine(unreadableTitleLine(unreadableTitle));
  if (unreadableTitle != 0 || !layoutAccepted(columns)) {
    frontend.importLine(std::string(texts::kMsgLayoutRejected));
    out.end = RunEnd::LayoutRejected;
    out.message = texts::kMsgLayoutRejected;
    return out;
  }
  const SheetColumns sheetColumns = SheetColumns::resolve(columns);
  out.rowsTotal = countDataRows(*book, sheetColumns.name);

  // SQLite and Access undo a refused statement by themselves without ending
  // the transaction, and the person insert is a row's first write, so a
  // refused person leaves nothing to undo; there a savepoint per row would
  // only cost time (about a fifth of a large import on SQLite; Access has no
  // savepoints at all). PostgreSQL abandons the whole transaction on a
  // refused statement and needs the row's savepoint to go on.
  const bool rowSavepoints = conn.dialect().kind() == db::DialectKind::Postgres;
  BatchWriter batch(conn, request.commitEveryRows, request.commitEvery, rowSavepoints);
  bool aborted = false;
  try {
    if (request.mode == ImportMode::Overwrite) {
      batch.ensureOpen();
      try {
        DeleteDepartmentPeople(conn, frontend, dept);
      } catch (...) {
        batch.rollback();  // a deletion stopped half way is undone whole
        throw;
      }
    }
    frontend.importLine(std::string(texts::kMsgLayoutAccepted));
    frontend.progress(0, out.rowsTotal);

    const StepContext ctx{*book, sheetColumns, codes, conn, frontend};
    RowCarry carry;
    db::PersonRecord record;
    TypedDateCounter typedDates;
    for (int32_t row = 2;; ++row) {
      const std::string name = nameCell(*book, row, sheetColumns.name);
      if (name.empty()) break;
      batch.beginRow();
      const PersonOutcome person = ImportPersonRecord(ctx, row, dept, name, carry, record, &typedDates);
      if (person.stored) {
        HistoryCounts history = ImportEducationHistory(ctx, row, person.id, name, carry.workStart, carry.wholeYears);
        history += ImportPositionHistory(ctx, row, person.id, name);
        history += ImportAssessmentHistory(ctx, row, person.id, name);
        batch.endRow(true, 1, history.stored);
        out.linesReported += history.reported;
      } else {
        // Nothing of the row is kept: its history lines have no person to belong to.
        batch.endRow(false, 0, 0);
        ++out.rowsFailed;
        frontend.errorLine(rowFailureLine(row, name, person.failure));
      }
      ++out.rowsDone;
      batch.commitIfDue();
      if (out.rowsDone % kProgressEveryRows == 0) frontend.progress(out.rowsDone, out.rowsTotal);
      frontend.processEvents();
      if (frontend.abortRequested()) {
        aborted = true;
        break;
      }
    }
    for (const std::string& line : typedDates.lines()) frontend.importLine(line);
    // Committed before any message box, so no lock is held while one waits.
    batch.commit();
  } catch (const std::exception& e) {
    std::string reason = text::utf8ToGb18030(e.what());
    // Rows finished before the failure are committed, unless the database
    // has already thrown the open batch away itself.
    bool batchKept = false;
    if (dynamic_cast<const db::TransactionLost*>(&e) == nullptr) {
      try {
        batchKept = batch.salvage();
      } catch (const std::exception& again) {
        reason.append("; ").append(text::utf8ToGb18030(again.what()));
      }
    } else {
      batch.rollback();
    }
    out.end = RunEnd::Failed;
    out.personsStored = batch.personsCommitted();
    out.historyRowsStored = batch.historyRowsCommitted();
    out.message = std::string(batchKept ? texts::kMsgRunFailed : texts::kMsgRunFailedBatchLost) + reason;
    book.reset();
    frontend.progress(out.rowsDone, out.rowsTotal);
    frontend.importLine(summaryLine(out));
    frontend.statusText(1, std::string(texts::kMsgRunFailedStatus));
    frontend.messageBox(out.message, std::string(texts::kCaptionError));
    return out;
  }
  out.personsStored = batch.personsCommitted();
  out.historyRowsStored = batch.historyRowsCommitted();
  frontend.progress(out.rowsDone, out.rowsTotal);

  if (aborted) {
    out.end = RunEnd::Aborted;
    frontend.statusText(1, std::string(texts::kMsgAborted));
    frontend.messageBox(std::string(texts::kMsgAborted), std::string(texts::kCaptionInfo));
  }
  book.reset();
  frontend.importLine(summaryLine(out));

  std::string done(texts::kMsgSuccess);
  if (out.rowsFailed > 0) {
    done = std::string(texts::kMsgDoneWithFailures) + std::to_string(out.rowsFailed) +
           std::string(texts::kMsgRowsNotImported);
  }
  frontend.statusText(1, done);
  frontend.messageBox(done, std::string(texts::kCaptionInfo));
  return out;
}

}  // namespace gz::imp
