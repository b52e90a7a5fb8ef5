// The import run: one workbook's active sheet into the department's people
// and their education, position and assessment histories.
//
// The run tells its Frontend (the window or the command line) what happens
// and returns the outcome, with counts, that it also reports last; the
// caller chooses an exit status from it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "import/shared/column_map.h"
#include "import/shared/frontend.h"
#include "import/shared/outcome.h"
#include "import/shared/step_context.h"
#include "import/shared/title_mapping.h"
#include "import/shared/title_names.h"
#include "sheet/model/workbook.h"

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

class RunJournal;
class ChangeObserver;
class RowResults;

enum class ImportMode { Append, Overwrite };

struct ImportRequest {
  std::string departmentCode;  // GB 18030; blanks and control characters at the ends are dropped
  std::string workbookPath;    // UTF-8; empty when no file was chosen
  ImportMode mode = ImportMode::Append;
  // Where the run writes down what it changes, ahead of each commit, so that
  // it can be taken back; null for a run that cannot be.
  RunJournal* journal = nullptr;
  // The sheet row to start from: 2, which stands for the first data row
  // (the row below the titles, wherever they were found), unless an earlier
  // run that ended early is continued. It must be a data row of the sheet.
  int32_t firstRow = kFirstDataRow;
  // The sheet to read: the active one unless it is named or numbered. The
  // start row and the reject workbook count the rows of that sheet.
  sheet::SheetRequest sheet;
  // The other names of titles, for the search of a header that row 1 lacks.
  TitleNames titleNames;
  // The sheet's title for some of the fields the import reads, given ahead
  // by the operator: the header is read by them (and by what it has for the
  // other fields) without asking the front end.
  std::vector<TitleChoice> titleChoices;
  // Before anything is written, the rows whose id card number an earlier row
  // of the workbook has, or (append) a person of the department already has,
  // are put to the front end.
  bool checkDuplicates = true;
  // Append only: each row whose identity number names exactly one person of
  // the department updates that person in place instead of adding one (the
  // front end can also choose this when asked about duplicates).
  bool updateExisting = false;
  // Told before the run changes a person that was already stored, when set.
  ChangeObserver* changes = nullptr;
  // Filled with every data row's result as the run goes, when set: what it
  // does with the row, the values it stores, the row's reasons and warnings
  // and its cells as read.
  RowResults* results = nullptr;
  // Finished rows are committed in batches: after this many rows or once this
  // much time has passed since the batch began, whichever comes first. The
  // time bound keeps other users from waiting long; the row bound is high
  // because every commit waits for the disk (tens of milliseconds on a slow
  // one), which would otherwise dominate a large import.
  int commitEveryRows = 5000;
  std::chrono::milliseconds commitEvery{1000};
  // How long the run waits for a database that another program holds, and
  // for another run into an overlapping department, before it ends.
  std::chrono::milliseconds wait = db::BusyWait::kDefaultLimit;
};

// Runs one import. `columns` is emptied first and refilled from the sheet's
// first row, or from the header found below it once the front end has taken
// it. Only one run can be in progress at a time: a second call made
// while one runs (for instance from an event handler during processEvents)
// is refused and ends with RunEnd::AlreadyRunning.
ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns, Frontend& frontend,
                            const ImportRequest& request);

// Opens the workbook at a UTF-8 path; throws sheet::WorkbookError, never
// returns null.
using WorkbookOpener = std::function<std::unique_ptr<sheet::Workbook>(const std::string& pathUtf8)>;

// Opens the sheet `sheet` asks for of the workbook at a UTF-8 path; throws
// sheet::WorkbookError (NoSuchSheet when there is no such sheet), never
// returns null.
using SheetOpener =
    std::function<std::unique_ptr<sheet::Workbook>(const std::string& pathUtf8, const sheet::SheetRequest& sheet)>;

// The same run, reading the workbook through `open` instead of
// sheet::openWorkbook (for front ends and tests with their own source).
ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns, Frontend& frontend,
                            const ImportRequest& request, const SheetOpener& open);
// The same through an opener of one sheet only: a request for another sheet
// finds none (fault NoSuchSheet).
ImportOutcome AInputExecute(db::Connection& conn, codes::CodeMap& codes, ColumnMap& columns, Frontend& frontend,
                            const ImportRequest& request, const WorkbookOpener& open);

// True while a run is in progress.
bool importRunning();

}  // namespace gz::imp
