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
#include <string>
#include <string_view>

#include "import/import_run.h"
#include "import/outcome.h"
#include "import/person_step.h"
#include "import/step_context.h"

namespace gz::imp {

class RowSink;
class RowWriter;
class TypedDateCounter;

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
// 0 when every title reads).
struct SheetLayout {
  SheetColumns columns;
  int dataRows = 0;  // from the first data row up to the first empty name
};
std::optional<SheetLayout> recogniseLayout(const sheet::Workbook& book, ColumnMap& columns, int32_t& unreadableTitle);

// Delete (overwrite): the department's earlier people are deleted in the
// writer's first batch, so they are never gone without their replacement.
// A failure undoes the whole deletion and is thrown on. A lock of another
// user is waited for up to `wait`, and the front end is told.
void deleteEarlierPeople(RowWriter& writer, Frontend& frontend, std::string_view deptCode,
                         std::chrono::milliseconds wait = db::BusyWait::kDefaultLimit);

// Rows: what the rows stage reads.
struct RowsInput {
  const sheet::Workbook& book;
  const SheetColumns& columns;
  codes::CodeMap& codes;
  std::string_view deptCode;
  int32_t firstRow = kFirstDataRow;
  TypedDateCounter* typedDates = nullptr;  // counts the dates read as typed, when given
};
// One data row: the person, then the education, position and assessment
// histories when the person was stored.
RowOutcome importRow(const StepContext& ctx, int32_t row, std::string personName, std::string_view deptCode,
                     RowCarry& carry, db::PersonRecord& record, TypedDateCounter* typedDates = nullptr);
// Imports the rows from `firstRow` up to the first empty name, or up to an
// abort after a whole row. Each row is written between the writer's
// beginRow() and endRow() and then handed to `sink`. `out` counts the rows
// as they are done, so the counts hold when a failure is thrown. True when
// the operator aborted.
bool importRows(const RowsInput& in, RowWriter& writer, RowSink& sink, Frontend& frontend, ImportOutcome& out);

// Close, after the last row or an abort: the last batch is committed and the
// stored rows are counted.
void closeWriting(RowWriter& writer, ImportOutcome& out);
// Close, after a failure: the rows finished before it are committed, unless
// the database has already thrown the open batch away; the outcome (Failed)
// says which, and why.
void closeAfterFailure(const std::exception& failure, RowWriter& writer, ImportOutcome& out);

// An outcome for a run that ends before it writes anything.
ImportOutcome endedBeforeWriting(RunEnd end, std::string messageGbk);

// Report: the outcome goes to the front end and back to the caller.
ImportOutcome reportRun(Frontend& frontend, ImportOutcome out);

}  // namespace gz::imp
