// A workbook as read: the one sheet the import reads, with its name and a
// notice. Every reader fills one; a workbook is opened once per import and
// only its active sheet is read and kept, sparsely. Texts are GB 18030 bytes
// (converted from the file's encoding on reading).
#pragma once

#include <cstdint>
#include <string>

#include "sheet/model/cell_value.h"
#include "sheet/model/sheet_data.h"
#include "sheet/model/workbook_error.h"

namespace gz::sheet {

class Workbook {
 public:
  // Name of the sheet that is read: the one active when the workbook opens.
  const std::string& sheetName() const { return sheetName_; }
  // A remark for the import pane, empty when none, e.g. that the active tab
  // was a chart sheet and the first worksheet is read instead.
  const std::string& notice() const { return notice_; }
  const SheetData& sheet() const { return sheet_; }
  CellValue value(uint32_t row, uint32_t col) const { return sheet_.value(row, col); }

  // Filled in by the reader.
  std::string sheetName_;
  std::string notice_;
  SheetData sheet_;
};

}  // namespace gz::sheet
