#include "import/run/import_run.h"

#include "db/connection.h"
#include "import/reports/results_collector.h"
#include "import/reports/row_results.h"
#include "import/run/run_lock.h"
#include "import/run/run_stages.h"
#include "import/run/stage_sheet.h"
#include "import/shared/texts.h"
#include "import/shared/typed_date_counter.h"
#include "import/steps/update_people.h"
#include "import/writers/run_journal.h"
#include "sheet/open_workbook.h"
#include "text/bytes.h"

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

// The run updates the department's people: they are read, the rows told of
// them, and the people the workbook does not name counted.
std::unique_ptr<UpdateRun> startUpdate(db::Connection& conn, const ImportRequest& request, RowsInput& rows,
                                       ImportOutcome& out) {
  // The journal is told of every person changed, so that the run can be taken back.
  ChangeObserver* changes = request.changes != nullptr ? request.changes : request.journal;
  auto update = std::make_unique<UpdateRun>(conn, rows.deptCode, changes);
  rows.update = &update->targets();
  out.updating = true;
  const std::unordered_set<std::string> named = workbookNumbers(rows.book, rows.columns, rows.firstRow);
  out.peopleNotNamed = update->people().notNamed(named);
  update->readStored(conn, rows.deptCode, rows.columns, named);
  return update;
}

// The sheet a run reads and where its rows start.
struct RunSheet {
  SheetRead read;
  int32_t firstDataRow = 0;  // the row below the titles, wherever they were found
  int32_t firstRow = 0;      // the first row read: that one, or the row a continued run starts from
};

// Everything before the run takes its lock: the file, the sheet and its
// layout, the start row, and the operator's word on titles found below row 1.
// The outcome when one of them ends the run.
std::optional<ImportOutcome> prepareSheet(const ImportRequest& request, const SheetOpener& open, ColumnMap& columns,
                                          Frontend& frontend, RunSheet& sheet) {
  if (std::optional<ImportOutcome> missing = checkWorkbook(request.workbookPath)) return missing;
  if (std::optional<ImportOutcome> refused = readRunSheet(request, open, columns, frontend, sheet.read)) return refused;
  const SheetLayout& layout = *sheet.read.layout;
  sheet.firstDataRow = layout.titleRows.firstDataRow();
  sheet.firstRow = request.firstRow == kFirstDataRow ? sheet.firstDataRow : request.firstRow;
  if (std::optional<ImportOutcome> outside = checkStartRow(sheet.firstRow, sheet.firstDataRow, layout.dataRows))
    return outside;
  const TitleSearch& search = sheet.read.search;
  // Titles the operator chose need no further word; a header found by the search does.
  if (sheet.read.titlesChosen) frontend.titlesMapped(foundHeader(*sheet.read.opened.book, search, layout));
  else if (search.found && !frontend.titlesFound(foundHeader(*sheet.read.opened.book, search, layout)))
    return titlesNotTaken(search.rows);
  return std::nullopt;
}

// The duplicate question before anything is written; the rows it leaves out
// are counted. `updating` may be turned on by the answer. The outcome when
// the operator cancelled.
std::optional<ImportOutcome> settleRepeats(db::Connection& conn, const ImportRequest& request, Frontend& frontend,
                                           const RowsInput& rows, std::set<int32_t>& skipped, ImportOutcome& out,
                                           bool& updating, ResultsCollector* results) {
  if (!request.checkDuplicates) return std::nullopt;
  // Overwrite: the department's people go, so only repeats within the
  // workbook count; so too in an update, which is meant for the people the department has.
  const DuplicateCheck check{rows.book, rows.columns,  rows.firstRow,
                             conn,      rows.deptCode, request.mode == ImportMode::Append && !updating};
  std::vector<DuplicateRow> skippedRows;
  if (std::optional<ImportOutcome> cancelled = settleDuplicates(check, frontend, skipped, updating, &skippedRows))
    return cancelled;
  if (results) results->rowsSkipped(skippedRows);
  out.rowsSkipped = static_cast<int>(skipped.size());
  out.rowsTotal -= out.rowsSkipped;
  return std::nullopt;
}

// After the rows, while the workbook is open: the hidden rows read, and the
// rows not stored as the reject workbook gets them.
void noteRowsRead(Frontend& frontend, const RunSheet& sheet, const std::set<int32_t>& skipped,
                  const RejectCollector& rejected, ImportOutcome& out) {
  const sheet::Workbook& book = *sheet.read.opened.book;
  const SheetLayout& layout = *sheet.read.layout;
  const int32_t lastRead = out.resumeRow != 0 ? out.resumeRow - 1 : sheet.firstDataRow + layout.dataRows - 1;
  if (const std::vector<int32_t> hidden = hiddenRowsIn(book, sheet.firstRow, lastRead, skipped); !hidden.empty())
    frontend.hiddenRowsRead(hidden);
  out.rejects = collectRejects(book, rejected, out.resumeRow, layout.titleRows);
}

// Before the first row: the layout taken, where the data end, and no row done yet.
void announceRows(Frontend& frontend, const SheetLayout& layout, int rowsTotal) {
  frontend.layoutAccepted();
  if (layout.footerRow != 0) frontend.dataEndedAt(layout.footerRow, layout.footerName);
  frontend.progress(0, rowsTotal);
}

// Nothing of an earlier run carries over: a run that ends early leaves no
// rows of an earlier one, titles of an earlier workbook must not point into
// this one, and an abort asked for then does not end this run.
void forgetEarlierRun(const ImportRequest& request, ColumnMap& columns, Frontend& frontend) {
  if (request.results) request.results->clear();
  columns.clear();
  frontend.clearAbort();
}

}  // namespace

bool importRunning() { return g_running; }

ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns, Frontend& frontend,
                            const ImportRequest& request) {
  const SheetOpener open = [](const std::string& path, const sheet::SheetRequest& sheet) {
    return sheet::openWorkbookAskingPassword(path, {}, sheet);
  };
  return AInputExecute(conn, codes, columns, frontend, request, open);
}

ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns, Frontend& frontend,
                            const ImportRequest& request, const WorkbookOpener& open) {
  const SheetOpener openSheet = [&open](const std::string& path, const sheet::SheetRequest& sheet) {
    if (!sheet.name.empty() || sheet.number != 0)
      throw sheet::WorkbookError(sheet::WorkbookFault::NoSuchSheet, "工作簿中没有所选的工作表", path);
    return open(path);
  };
  return AInputExecute(conn, codes, columns, frontend, request, openSheet);
}

ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns, Frontend& frontend,
                            const ImportRequest& request, const SheetOpener& open) {
  if (g_running)
    return reportRun(frontend, endedBeforeWriting(RunEnd::AlreadyRunning, std::string(texts::kMsgAlreadyRunning)));
  RunningMark running;
  forgetEarlierRun(request, columns, frontend);

  RunSheet sheet;
  if (std::optional<ImportOutcome> ended = prepareSheet(request, open, columns, frontend, sheet))
    return reportRun(frontend, std::move(*ended));
  OpenedWorkbook& opened = sheet.read.opened;
  const std::optional<SheetLayout>& layout = sheet.read.layout;
  const int32_t firstRow = sheet.firstRow;

  const std::string dept = text::trim(request.departmentCode);
  auto guard = std::make_unique<RunGuard>(conn, frontend, dept, request.wait);
  if (guard->refused()) return reportRun(frontend, std::move(*guard->refused()));
  ImportOutcome out;
  out.rowsTotal = layout->dataRows - (firstRow - sheet.firstDataRow);
  std::set<int32_t> skipped;
  std::optional<ResultsCollector> results;
  if (request.results)
    results.emplace(*request.results, frontend, *opened.book, layout->columns, layout->titleRows, codes);
  RejectCollector rejected(results ? static_cast<RowSink&>(*results) : frontend);
  TypedDateCounter typedDates;
  RowTally tally(rejected, out);
  RowsInput rows{*opened.book, layout->columns, codes, dept, firstRow, &skipped};
  rows.keepValues = results.has_value();
  const RowReports reports{frontend, tally, &typedDates, request.journal};
  std::unique_ptr<RowWriter> writer = makeRowWriter(conn, request, reports, rows);
  std::unique_ptr<UpdateRun> update;
  try {
    bool updating = request.updateExisting;
    if (std::optional<ImportOutcome> cancelled =
            settleRepeats(conn, request, frontend, rows, skipped, out, updating, results ? &*results : nullptr)) {
      opened.book.reset();
      return reportRun(frontend, std::move(*cancelled));
    }
    if (updating && request.mode == ImportMode::Append) {
      update = startUpdate(conn, request, rows, out);
      writer = makeRowWriter(conn, request, reports, rows);  // now with a savepoint per row
    }
    if (request.mode == ImportMode::Overwrite)
      deleteEarlierPeople(*writer, frontend, dept, request.wait, request.journal);
    announceRows(frontend, *layout, out.rowsTotal);
    out.end = importRows(rows, *writer, frontend, out.rowsTotal) ? RunEnd::Aborted : RunEnd::Completed;
    if (!typedDates.empty()) frontend.datesReadAsTyped(typedDates);
    closeWriting(*writer, out);
  } catch (const std::exception& e) {
    closeAfterFailure(e, *writer, out);
  }
  noteResumeRow(out, firstRow, writer->rowsSettled(), request.mode == ImportMode::Overwrite, skipped);
  noteRowsRead(frontend, sheet, skipped, rejected, out);
  if (results) results->finish();
  opened.book.reset();  // the workbook is closed before the operator is told
  guard.reset();        // and other runs may go on while a message box waits
  frontend.progress(out.rowsDone, out.rowsTotal);
  return reportRun(frontend, std::move(out));
}

}  // namespace gz::imp
