// A workbook as read: the one sheet the import reads, with its name and a
// notice, and the names of all its worksheets. Every reader fills one; a
// workbook is read for one sheet at a time (the active one unless a
// SheetRequest names another), and only that sheet is kept, sparsely. Texts
// are GB 18030 bytes (converted from the file's encoding on reading).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sheet/model/cell_value.h"
#include "sheet/model/sheet_data.h"
#include "sheet/model/workbook_error.h"

namespace gz::sheet {

// Which sheet to read, and how much of it. The default reads the active
// sheet whole. A name (GB 18030, exact) or a number (from 1, counting
// worksheets only: chart and macro sheets are no worksheets) picks another.
struct SheetRequest {
  std::string name;
  uint32_t number = 0;
  // Read only the rows up to this one (0: all), for a look at a sheet's top.
  uint32_t rowLimit = 0;
};

class Workbook {
 public:
  // Name of the sheet that is read: the requested one, else the one active
  // when the workbook opens.
  const std::string& sheetName() const { return sheetName_; }
  // A remark for the import pane, empty when none, e.g. that the active tab
  // was a chart sheet and the first worksheet is read instead.
  const std::string& notice() const { return notice_; }
  const SheetData& sheet() const { return sheet_; }
  CellValue value(uint32_t row, uint32_t col) const { return sheet_.value(row, col); }
  // Every worksheet's name in the workbook's order, the read one included.
  const std::vector<std::string>& sheetNames() const { return sheetNames_; }
  // Position of the read sheet in sheetNames().
  std::size_t sheetIndex() const { return sheetIndex_; }

  // Filled in by the reader.
  std::string sheetName_;
  std::string notice_;
  SheetData sheet_;
  std::vector<std::string> sheetNames_;
  std::size_t sheetIndex_ = 0;
};

// The worksheet `request` names among `names`, else `fallback` (the active
// one). Throws ReadError (NoSuchSheet) when the requested sheet is not there.
std::size_t pickSheet(const std::vector<std::string>& names, std::size_t fallback, const SheetRequest& request);

}  // namespace gz::sheet
