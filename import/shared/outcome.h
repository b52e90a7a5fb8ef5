// What an import run did: how it ended, with counts, and what became of each
// data row. The run hands these to its front end; how they are shown is the
// front end's business.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/workbook_error.h"

namespace gz::imp {

struct StoredValues;

enum class RunEnd {
  Completed,           // every data row was handled; some may have failed (rowsFailed)
  Aborted,             // stopped by the operator after a whole row; earlier rows stay stored
  NoFile,              // no workbook at the path, or none chosen; nothing touched
  WorkbookUnreadable,  // the file is not a readable workbook; nothing touched
  LayoutRejected,      // the first row lacks a required title and no header found below was
                       // taken; nothing touched
  Failed,              // a database failure ended the run; rows committed before it stay
  AlreadyRunning,      // another run is in progress; refused, nothing touched
  StartRowOutside,     // the row to start from is not a data row of the sheet; nothing touched
  Cancelled,           // append: people of the department have id numbers of the sheet, and
                       // the front end chose not to go on; nothing touched
};

// A data row that was not stored, for the workbook of such rows: its cells
// as the sheet holds them and why it was not stored.
struct RejectedRow {
  int32_t row = 0;
  std::vector<sheet::CellValue> cells;  // from column 1, as wide as the title row
  std::string reason;                   // GB 18030
};
struct RejectedRows {
  std::vector<sheet::CellValue> titles;  // the titles as read (row 1, or the header found)
  std::vector<RejectedRow> rows;         // in sheet order
};

// A worksheet other than the one read whose header has the titles the import needs.
struct OtherSheet {
  uint32_t number = 0;  // from 1, among the workbook's worksheets
  std::string name;     // GB 18030
};

struct ImportOutcome {
  RunEnd end = RunEnd::Completed;
  int rowsTotal = 0;          // data rows of the sheet to import, up to the first empty name
  int rowsSkipped = 0;        // rows left out as people the department already has (not in rowsTotal)
  int rowsDone = 0;           // rows handled before the run ended (stored or failed)
  int personsStored = 0;      // persons committed to the database
  int rowsFailed = 0;         // rows whose person could not be stored (nothing of them written)
  // Update by identity number: the stored persons among personsStored that
  // were people of the department updated, and the department's people the
  // workbook does not name, kept as they were.
  bool updating = false;
  int personsUpdated = 0;
  int peopleNotNamed = 0;
  int historyRowsStored = 0;  // education, position and assessment rows committed
  int linesReported = 0;      // history lines reported for a name without a code
  int warnings = 0;           // warnings about stored persons' cells
  std::string message;        // GB 18030: why the run ended, for every end but Completed and Aborted
  // LayoutRejected: the line under the message (GB 18030): the required
  // titles the sheet lacks, or where a header was found that was not taken
  // (then `titlesNotTaken`).
  std::string detail;
  bool titlesNotTaken = false;
  // LayoutRejected: the other worksheets whose header passes.
  std::vector<OtherSheet> sheetsWithTitles;
  std::optional<sheet::WorkbookFault> workbookFault;  // WorkbookUnreadable: why
  std::optional<db::DbFault> dbFault;                 // Failed, by a database error: its kind
  // Aborted or Failed: the first sheet row whose fate is not committed, from
  // which the import is to be continued; 0 for every other end.
  int32_t resumeRow = 0;
  // An overwrite whose deletion is committed with some rows: the rest must be
  // added (appended), since overwriting again would delete those rows.
  bool resumeByAppending = false;
  // The rows whose not being stored is final (a row from resumeRow on is for
  // the run that continues this one). Rows left out as people the department
  // has are none of them.
  RejectedRows rejects;

  bool succeeded() const { return end == RunEnd::Completed && rowsFailed == 0; }
};

// What became of one data row: stored whole (the person and the history rows
// the database accepted), or nothing of it.
struct RowOutcome {
  int32_t row = 0;          // the sheet row, 2 for the first data row
  std::string personName;   // GB 18030
  bool stored = false;
  int64_t personId = 0;     // the new person's id, when stored
  bool updated = false;     // the person was one of the department's, updated in place
  int historyRowsStored = 0;
  int linesReported = 0;    // history lines reported for a name without a code
  std::string reason;       // GB 18030, why nothing of the row was stored
  std::vector<std::string> warnings;  // GB 18030, what looks wrong in a stored person's cells
  // What the steps stored, when the run keeps the rows' results; else null.
  std::shared_ptr<const StoredValues> values;
};

// A data row whose id card number (身份证号) a person of the department, or
// of a department below it, already has, or an earlier row of the workbook.
struct DuplicateRow {
  int32_t row = 0;
  std::string personName;  // GB 18030, the row's name
  std::string idCard;      // GB 18030, as the row has it
  // The earlier row of the workbook with the same number, and its name; 0
  // when a person of the department has it.
  int32_t sameAsRow = 0;
  std::string sameAsName;
};

// What the front end decides about rows whose people the department has.
enum class DuplicateAnswer {
  SkipExisting,  // import only the other rows
  ImportAll,     // import every row all the same
  Cancel,        // import nothing
  UpdateExisting,  // update the people whose numbers match, add the others
};

}  // namespace gz::imp
