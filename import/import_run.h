// The import run: one workbook's active sheet into the department's people
// and their education, position and assessment histories.
//
// The run reports through the Frontend (the window or the command line) and
// returns an outcome with counts, so its caller can choose an exit status.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "import/column_map.h"
#include "import/frontend.h"

namespace gz::db {
class Connection;
}
namespace gz::codes {
class CodeMap;
}
namespace gz::sheet {
class Workbook;
}

namespace gz::imp {

enum class ImportMode { Append, Overwrite };

struct ImportRequest {
  std::string departmentCode;  // GB 18030; blanks and control characters at the ends are dropped
  std::string workbookPath;    // UTF-8; empty when no file was chosen
  ImportMode mode = ImportMode::Append;
  // Finished rows are committed in batches: after this many rows or once this
  // much time has passed since the batch began, whichever comes first. The
  // time bound keeps other users from waiting long; the row bound is high
  // because every commit waits for the disk (tens of milliseconds on a slow
  // one), which would otherwise dominate a large import.
  int commitEveryRows = 5000;
  std::chrono::milliseconds commitEvery{1000};
};

enum class RunEnd {
  Completed,           // every data row was handled; some may have failed (rowsFailed)
  Aborted,             // stopped by the operator after a whole row; earlier rows stay stored
  NoFile,              // no workbook at the path; nothing touched
  WorkbookUnreadable,  // the file is not a readable workbook; nothing touched
  LayoutRejected,      // the first row lacks a required title; nothing touched
  Failed,              // a database failure ended the run; rows committed before it stay
  AlreadyRunning,      // another run is in progress; refused, nothing touched
};

struct ImportOutcome {
  RunEnd end = RunEnd::Completed;
  int rowsTotal = 0;          // data rows of the sheet, up to the first empty name
  int rowsDone = 0;           // rows handled before the run ended (stored or failed)
  int personsStored = 0;      // persons committed to the database
  int rowsFailed = 0;         // rows whose person could not be stored (nothing of them written)
  int historyRowsStored = 0;  // education, position and assessment rows committed
  int linesReported = 0;      // report lines of the history steps in the error pane
  std::string message;        // GB 18030: why the run ended, for every end but Completed and Aborted

  bool succeeded() const { return end == RunEnd::Completed && rowsFailed == 0; }
};

// Runs one import. `columns` is emptied first and refilled from the sheet's
// first row. Only one run can be in progress at a time: a second call made
// while one runs (for instance from an event handler during processEvents)
// is refused with a message box and RunEnd::AlreadyRunning.
ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns,
                            Frontend& frontend, const ImportRequest& request);

// Opens the workbook at a UTF-8 path; throws sheet::WorkbookError.
using WorkbookOpener = std::function<std::unique_ptr<sheet::Workbook>(const std::string& pathUtf8)>;

// The same run, reading the workbook through `open` instead of
// sheet::openWorkbook (for front ends and tests with their own source).
ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns,
                            Frontend& frontend, const ImportRequest& request, const WorkbookOpener& open);

// True while a run is in progress.
bool importRunning();

}  // namespace gz::imp
