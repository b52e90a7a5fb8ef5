// Typing the text of a CSV field or a web-page table cell, which the file
// gives without a type, the way a sheet program takes text typed into a cell:
// numbers ("12", "-3.06", "1,234.5", "1E5", "50%") become numbers, dates
// ("1965-3-1", "1965/03/01 8:30", "1965年3月1日", "1965-03", "8:30") date-formatted
// numbers, TRUE and FALSE booleans, "#N/A" and the other error names errors,
// and anything else stays text, unchanged. A text of blanks only is an empty cell.
//
// Two kinds of digits stay text, unlike in a sheet program, because there
// they would lose what the clerk wrote: digits with a leading zero ("007",
// a code such as "01" for an ethnic group), and more than 15 digits (an
// identity card or bank account number, of which a number keeps only 15).
#pragma once

#include <cstdint>
#include <string_view>

#include "sheet/model/cell_value.h"
#include "sheet/model/sheet_data.h"

namespace gz::sheet {

// `text` is GB 18030. An unreadable text (malformed in the file) stays text.
CellValue typedCellValue(std::string_view text, bool unreadable = false);

// Stores the typed value at (row, col); nothing for an empty one.
void setTypedCell(SheetData& sheet, uint32_t row, uint32_t col, std::string_view text, bool unreadable = false);

}  // namespace gz::sheet
