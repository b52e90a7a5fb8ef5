// Writing a workbook: one sheet of cells into a new .xlsx file, through
// libxlsxwriter. Texts stay texts, numbers numbers, date-formatted numbers
// dates (with the time when they have one), booleans booleans; the reader
// reads the file back as it was written.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/model/cell_value.h"

namespace gz::sheet {

enum class WriteFault : uint8_t {
  CannotCreate,  // the file cannot be created there (no such folder, no permission)
  Refused,       // the library refused a cell or the file (too long a text, disk full)
};

// A workbook that could not be written. what() names the file once (UTF-8).
class WorkbookWriteError : public std::runtime_error {
 public:
  WorkbookWriteError(WriteFault fault, const std::string& message) : std::runtime_error(message), fault_(fault) {}
  WriteFault fault() const { return fault_; }

 private:
  WriteFault fault_;
};

// Writes `rows` (rows[0] is sheet row 1, each row's cells from column 1)
// into a sheet named `sheetNameGbk` of a new workbook at `pathUtf8`,
// replacing a file there. An error value is written as its text (#N/A),
// the one form the library has for it. Throws WorkbookWriteError.
void writeXlsx(const std::string& pathUtf8, std::string_view sheetNameGbk,
               const std::vector<std::vector<CellValue>>& rows);

// The same for `rowCount` rows handed over one at a time: `source(r, cells)`
// fills `cells` (cleared first) with row r's cells and returns the row's
// fill colour (0xRRGGBB), or kNoFill. Texts with a line break are written
// wrapped, so that each line shows.
inline constexpr uint32_t kNoFill = 0xFFFFFFFF;
using RowSource = std::function<uint32_t(std::size_t row, std::vector<CellValue>& cells)>;
void writeXlsx(const std::string& pathUtf8, std::string_view sheetNameGbk, std::size_t rowCount,
               const RowSource& source);

}  // namespace gz::sheet
