// What every fuzz target does with a workbook it was given: reads the cells of
// its first rows in each form the import reads them in, so that a reader that
// stored a malformed cell is caught where the import would meet it.
#pragma once

#include <cstdint>

#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/dates.h"
#include "sheet/model/sheet_data.h"
#include "sheet/model/workbook.h"

namespace gz::fuzz {

inline void readEveryCell(const sheet::Workbook& book) {
  constexpr uint32_t kRows = 200;
  constexpr uint32_t kColumns = 256;
  const sheet::SheetData& data = book.sheet();
  for (uint32_t row = 1; row <= data.lastRow() && row <= kRows; ++row) {
    for (uint32_t col = 1; col <= data.lastColumn(row) && col <= kColumns; ++col) {
      const sheet::CellValue v = data.value(row, col);
      (void)sheet::cellText(v);
      if (auto d = sheet::readCellDate(v)) (void)sheet::isoDateText(d->serial);
    }
  }
  (void)book.sheetName();
  (void)book.notice();
}

}  // namespace gz::fuzz
