#include "import/import_run.h"

#include "db/connection.h"
#include "import/run_stages.h"
#include "import/texts.h"
#include "import/typed_date_counter.h"
#include "sheet/workbook.h"
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

}  // namespace

bool importRunning() { return g_running; }

ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns, Frontend& frontend,
                            const ImportRequest& request) {
  return AInputExecute(conn, codes, columns, frontend, request, &sheet::openWorkbook);
}

ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns, Frontend& frontend,
                            const ImportRequest& request, const WorkbookOpener& open) {
  if (g_running)
    return reportRun(frontend, endedBeforeWriting(RunEnd::AlreadyRunning, std::string(texts::kMsgAlreadyRunning)));
  RunningMark running;
  columns.clear();  // titles of an earlier workbook must not point into this one
  frontend.clearAbort();

  if (std::optional<ImportOutcome> missing = checkWorkbook(request.workbookPath))
    return reportRun(frontend, std::move(*missing));
  OpenedWorkbook opened = openWorkbookFile(request.workbookPath, open);
  if (!opened.book) return reportRun(frontend, std::move(opened.failure));
  if (!opened.book->notice().empty()) frontend.workbookNotice(opened.book->notice());
  int32_t unreadableTitle = 0;
  const std::optional<SheetLayout> layout = recogniseLayout(*opened.book, columns, unreadableTitle);
  if (unreadableTitle != 0) frontend.titleUnreadable(unreadableTitle);
  if (!layout)
    return reportRun(frontend, endedBeforeWriting(RunEnd::LayoutRejected, std::string(texts::kMsgLayoutRejected)));

  ImportOutcome out;
  out.rowsTotal = layout->dataRows;
  TypedDateCounter typedDates;
  RowTally tally(frontend, out);
  const std::string dept = text::trim(request.departmentCode);
  const RowsInput rows{*opened.book, layout->columns, codes, dept, kFirstDataRow};
  const std::unique_ptr<RowWriter> writer = makeRowWriter(conn, request, {frontend, tally, &typedDates}, rows);
  try {
    if (request.mode == ImportMode::Overwrite) deleteEarlierPeople(*writer, frontend, dept);
    frontend.layoutAccepted();
    frontend.progress(0, out.rowsTotal);
    out.end = importRows(rows, *writer, frontend, out.rowsTotal) ? RunEnd::Aborted : RunEnd::Completed;
    if (!typedDates.empty()) frontend.datesReadAsTyped(typedDates);
    closeWriting(*writer, out);
  } catch (const std::exception& e) {
    closeAfterFailure(e, *writer, out);
  }
  opened.book.reset();  // the workbook is closed before the operator is told
  frontend.progress(out.rowsDone, out.rowsTotal);
  return reportRun(frontend, std::move(out));
}

}  // namespace gz::imp
