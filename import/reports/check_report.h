// The check report: one workbook to send back with a roster. Its title row
// and every data row as the run read them (the cells as typed, identity
// numbers as text), then two more columns, 结果 (what the run does with the
// row) and 问题 (each reason and warning, one per line). Rows not imported,
// left out and with warnings are filled in colour. Once the rows are put
// right and the two columns deleted, the workbook imports again.
#pragma once

#include <cstdint>
#include <string>

#include "import/reports/row_results.h"

namespace gz::imp {

// The fill of a report row, 0xRRGGBB.
inline constexpr uint32_t kFillNotImported = 0xFFC7CE;  // light red
inline constexpr uint32_t kFillWarned = 0xFFEB9C;       // light yellow
inline constexpr uint32_t kFillSkipped = 0xD9D9D9;      // light grey

// Writes the report of `results` to a new .xlsx at `pathUtf8`, replacing a
// file there. Throws sheet::WorkbookWriteError.
void writeCheckReport(const std::string& pathUtf8, const RowResults& results);

// The cell of the report for `column` of row `i`: as read, except that an
// identity number held as a number is written as its digits in text.
sheet::CellValue reportCell(const RowResults& results, std::size_t i, uint32_t column);

}  // namespace gz::imp
