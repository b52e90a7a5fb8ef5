// The stages of an import run, in the order AInputExecute runs them: check
// the file, open the workbook, recognise the sheet's layout, delete the
// department's earlier people (overwrite), import the rows, close and report.
// A stage that ends the run returns the outcome that says why.
#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "import/run/import_run.h"
#include "import/shared/frontend.h"
#include "import/shared/outcome.h"
#include "import/shared/step_context.h"
#include "import/steps/person_step.h"
#include "import/writers/row_writer.h"

namespace gz::imp {

class TypedDateCounter;
struct UpdateTargets;

// Check: a workbook file at the path. The outcome (NoFile) when there is none.
std::optional<ImportOutcome> checkWorkbook(const std::string& pathUtf8);

// Open: the workbook read through `open`, or the outcome (WorkbookUnreadable)
// with the reason and its kind when it cannot be read.
struct OpenedWorkbook {
  std::unique_ptr<sheet::Workbook> book;
  ImportOutcome failure;  // when `book` is null
};
OpenedWorkbook openWorkbookFile(const std::string& pathUtf8, const WorkbookOpener& open);

// Recognise: the titles of the first row into `columns`; the columns the
// steps read and the number of data rows, or nullopt when a required title
// is missing or a title is unreadable (its column goes to `unreadableTitle`,
// 0 when every title reads). When row 1 lacks a required title the header
// is searched for (`search` says what was found) and its titles go into
// `columns` instead.
struct SheetLayout {
  SheetColumns columns;
  int dataRows = 0;  // from the first data row up to the first empty name
  TitleRows titleRows;
  int32_t footerRow = 0;   // the totals or signature line that ends the data, 0 when none
  std::string footerName;  // its name cell
};
std::optional<SheetLayout> recogniseLayout(const sheet::Workbook& book, ColumnMap& columns, int32_t& unreadableTitle,
                                           const TitleNames& names, TitleSearch& search);
// The layout by the operator's mapping of the header's titles into
// `columns`; `search` then names the titles read and any required field
// without a column (none when so).
std::optional<SheetLayout> layoutByMapping(const sheet::Workbook& book, const TitleMapping& mapping,
                                           const std::vector<SheetTitle>& titles, ColumnMap& columns,
                                           TitleSearch& search);
// The refusal of a sheet without a usable header, naming what it lacks.
ImportOutcome layoutRejected(const TitleSearch& search, bool titleUnreadable);
// The header found, for the front end to confirm.
FoundHeader foundHeader(const sheet::Workbook& book, const TitleSearch& search, const SheetLayout& layout);
// The refusal of a found header the front end did not take.
ImportOutcome titlesNotTaken(TitleRows rows);

// Delete (overwrite): the department's earlier people are deleted in the
// writer's first batch, so they are never gone without their replacement.
// A failure undoes the whole deletion and is thrown on. A lock of another
// user is waited for up to `wait`, and the front end is told.
// The journal, when given, reads the rows to be deleted first.
void deleteEarlierPeople(RowWriter& writer, Frontend& frontend, std::string_view deptCode,
                         std::chrono::milliseconds wait = db::BusyWait::kDefaultLimit, RunJournal* journal = nullptr);

// Counts each row's final outcome into the run's outcome (rows done and
// failed, lines reported), then hands it on.
class RowTally final : public RowSink {
 public:
  RowTally(RowSink& next, ImportOutcome& out) : next_(next), out_(out) {}
  void rowDone(const RowOutcome& row) override;

 private:
  RowSink& next_;
  ImportOutcome& out_;
};

// Rows: what the rows stage reads.
struct RowsInput {
  const sheet::Workbook& book;
  const SheetColumns& columns;
  codes::CodeMap& codes;
  std::string_view deptCode;
  int32_t firstRow = kFirstDataRow;
  const std::set<int32_t>* skipRows = nullptr;  // rows left out (people the department has), when given
  const UpdateTargets* update = nullptr;        // an update run: the people rows may update
  bool keepValues = false;  // each row's outcome carries what its steps stored (RowOutcome::values)
};
// One data row: the person, then the education, position and assessment
// histories when the person was stored.
// In an update run (`update` given) a row whose number names one person of
// the department updates that person and replaces its histories.
RowOutcome importRow(const StepContext& ctx, int32_t row, std::string personName, std::string_view deptCode,
                     RowCarry& carry, db::PersonRecord& record, TypedDateCounter* typedDates = nullptr,
                     const UpdateTargets* update = nullptr);
// Writing: the writer for the rows of `rows`. Batches go out at once where
// the connection can send them so and number the persons ahead (a refused
// batch is written again from the sheet, row by row); otherwise each
// statement waits for its answer.
std::unique_ptr<RowWriter> makeRowWriter(db::Connection& conn, const ImportRequest& request, RowReports reports,
                                         const RowsInput& rows);

// Imports the rows from `firstRow` up to the first empty name, or up to an
// abort after a whole row. Each row is written between the writer's
// beginRow() and endRow(); the writer hands the rows' final outcomes to its
// sink, all of them before this returns. Progress counts the rows read of
// `rowsTotal`. True when the operator aborted.
bool importRows(const RowsInput& in, RowWriter& writer, Frontend& frontend, int rowsTotal);

// Close, after the last row or an abort: the last batch is committed and the
// stored rows are counted.
void closeWriting(RowWriter& writer, ImportOutcome& out);
// Close, after a failure: the rows finished before it are committed, unless
// the database has already thrown the open batch away; the outcome (Failed)
// says which, and why.
void closeAfterFailure(const std::exception& failure, RowWriter& writer, ImportOutcome& out);

// An outcome for a run that ends before it writes anything.
ImportOutcome endedBeforeWriting(RunEnd end, std::string messageGbk);

// Start: nullopt when `firstRow` is a data row of a sheet with `dataRows`
// of them from `firstDataRow` (which always is one), else the outcome
// (StartRowOutside) that says so.
std::optional<ImportOutcome> checkStartRow(int32_t firstRow, int32_t firstDataRow, int dataRows);
// After a run that ended early: the row to continue from, one past the rows
// whose fate is committed (`settled` of them, counted from `firstRow`).
// Rows in `skipped` were never written and are passed over.
void noteResumeRow(ImportOutcome& out, int32_t firstRow, int settled, bool overwrite, const std::set<int32_t>& skipped);

// Duplicates (append): what the check reads.
struct DuplicateCheck {
  const sheet::Workbook& book;
  const SheetColumns& columns;
  int32_t firstRow = kFirstDataRow;
  db::Connection& conn;
  std::string_view deptCode;
  bool againstDepartment = true;  // false: only numbers repeated within the workbook
};
// The rows from `firstRow` up to the first empty name whose id card number
// (身份证号) a person of the department, or of one below it, already has (one
// query for the whole run), or an earlier row of the workbook has, in sheet
// order. None when the sheet has no such column; a row without a number is
// never one of them.
std::vector<DuplicateRow> findDuplicates(const DuplicateCheck& in);
// Asks the front end about the rows findDuplicates() finds. The rows to
// leave out go to `skipped`; the outcome (Cancelled) when nothing is to be
// imported.
// `update` is set when the front end chose to update the people instead.
// The rows left out also go to `skippedRows`, when given.
std::optional<ImportOutcome> settleDuplicates(const DuplicateCheck& in, Frontend& frontend, std::set<int32_t>& skipped,
                                              bool& update, std::vector<DuplicateRow>* skippedRows = nullptr);

// Rejects: passes each row's outcome on to `next` and keeps the sheet rows
// not stored, with the reason.
class RejectCollector final : public RowSink {
 public:
  explicit RejectCollector(RowSink& next) : next_(next) {}
  void rowDone(const RowOutcome& row) override;
  const std::vector<std::pair<int32_t, std::string>>& notStored() const { return notStored_; }

 private:
  RowSink& next_;
  std::vector<std::pair<int32_t, std::string>> notStored_;
};
// The titles as read from `titleRows` and the cells of the rows the collector
// kept, those before `resumeRow` only when the run ended early (the later
// ones are continued).
RejectedRows collectRejects(const sheet::Workbook& book, const RejectCollector& collected, int32_t resumeRow,
                            TitleRows titleRows);

// Report: the outcome goes to the front end and back to the caller.
ImportOutcome reportRun(Frontend& frontend, ImportOutcome out);

}  // namespace gz::imp
