// The three forms in which the import reads a cell: text, date and value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sheet/model/cell_value.h"

namespace gz::sheet {

// The three cell forms the import reads.
//
// Cell text: empty -> ""; text unchanged; number -> at most 15 significant
// digits, no point for whole numbers; a date-formatted number -> its date in
// the short date format "yyyy/m/d" with separator "-" (1965-3-1), followed by
// a blank and the time "h:mm:ss" when it has one; booleans "TRUE"/"FALSE";
// errors "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A".
std::string cellText(const CellValue& v);

// Cell date as a serial day count from 1899-12-30. A date-formatted number
// gives itself; empty gives 0. A number the cell shows plainly is a day count,
// except a number typed the way clerks write a date: year.month with a whole
// part from 1900 to 2100 (1965.03 and 1965.3 are March 1965, 1965.1 is
// October, as 1965.10 is kept), or the digits 19650301 or 196503; those are
// that day or the first of that month. A plain number from 1900 to 2100 whose
// decimals give no month (1965.13, 1965.0, 1965.031) is no date at all, never
// a day in 1905. A text is read as a date in any form writtenDateValue()
// (sheet/model/date_text.h) takes, else as a number of days, with the same
// exception. Anything else (booleans, errors, other text): nullopt.
std::optional<double> cellDate(const CellValue& v);

// Where a cell date came from, so that the import can say when it read a
// plain number as a date a clerk typed.
enum class DateSource : uint8_t {
  Value,            // a date, a day count or an empty cell
  Text,             // a date written as text
  YearMonthNumber,  // a plain number read as year.month
  DigitsNumber,     // a plain whole number read as the digits of a date
};
struct CellDateReading {
  double serial = 0;
  DateSource source = DateSource::Value;
};
std::optional<CellDateReading> readCellDate(const CellValue& v);

}  // namespace gz::sheet
