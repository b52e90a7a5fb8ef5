// libFuzzer target for the .xlsx reader: any input must give a workbook or a
// WorkbookError, and a workbook's cells must all be readable in every form.
#include <cstddef>
#include <cstdint>

#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/dates.h"
#include "sheet/model/sheet_data.h"
#include "sheet/model/workbook_error.h"
#include "sheet/xlsx/xlsx_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gz::sheet;
  try {
    auto book = readXlsx(data, size, "fuzz.xlsx");
    const SheetData& sheet = book->sheet();
    const uint32_t lastRow = sheet.lastRow() < 200 ? sheet.lastRow() : 200;
    for (uint32_t row = 1; row <= lastRow; ++row) {
      const uint32_t lastCol = sheet.lastColumn(row) < 50 ? sheet.lastColumn(row) : 50;
      for (uint32_t col = 1; col <= lastCol; ++col) {
        const CellValue v = sheet.value(row, col);
        (void)cellText(v);
        if (auto d = cellDate(v)) (void)isoDateText(*d);
      }
    }
  } catch (const WorkbookError&) {
  }
  return 0;
}
