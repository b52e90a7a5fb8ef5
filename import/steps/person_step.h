// One data row into a new person record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"
#include "db/payroll/person_columns.h"
#include "import/shared/step_context.h"

namespace gz::sheet {
struct CellValue;
}

namespace gz::imp {

class TypedDateCounter;
class PersonRewrite;

// The person of the department a row of an update run writes over instead
// of adding one; `changes` (when set) is told first.
struct PersonToUpdate {
  int64_t id = 0;
  PersonRewrite* rewrite = nullptr;  // writes only what differs from the person as stored
};

// Values the run keeps across rows and hands from the person step to the
// education step.
struct RowCarry {
  std::string workStart;   // yyyy-mm-dd of the latest work-start date read
  int32_t wholeYears = 0;  // whole years of the college-study figure of this row
};

struct PersonOutcome {
  bool stored = false;
  int64_t id = 0;       // the new person's id when stored
  std::string failure;  // why the person was not stored (e.g. 出生年月"19x3"不是日期)
  std::vector<std::string> warnings;  // what looks wrong in a stored person's cells
};

// Tells the front end that the row has started, fills `record` (cleared
// first) from the fixed values and the row's cells, and stores it. When a cell
// cannot be converted or the database refuses the record, nothing is stored
// and the outcome says why: a person is never stored half filled.
// A stored person's date cells whose plain number was read as a date the
// way a clerk typed it are counted in `typedDates` when given. With `update`
// the record's columns the sheet has titles for are written over that
// person instead, who keeps its id and department.
PersonOutcome ImportPersonRecord(const StepContext& ctx, int32_t row, std::string_view deptCode,
                                 std::string_view personName, RowCarry& carry, db::PersonRecord& record,
                                 TypedDateCounter* typedDates = nullptr, const PersonToUpdate* update = nullptr);

// A cell's value as the sheet holds it, for a column that takes it
// unconverted: whole numbers as integers, other numbers as decimals,
// date-formatted numbers as dates, booleans as 0/1, empty as null. False for
// an error value (#N/A and the like), which no column should receive.
bool cellToDbValue(const sheet::CellValue& cell, db::Value& out);

}  // namespace gz::imp
