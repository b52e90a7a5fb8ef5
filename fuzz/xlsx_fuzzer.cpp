// libFuzzer target for the .xlsx reader: any input must give a workbook or a
// WorkbookError, and a workbook's cells must all be readable in every form.
#include <cstddef>
#include <cstdint>

#include "fuzz/read_every_cell.h"
#include "sheet/model/workbook_error.h"
#include "sheet/xlsx/xlsx_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gz::sheet;
  try {
    gz::fuzz::readEveryCell(*readXlsx(data, size, "fuzz.xlsx"));
  } catch (const WorkbookError&) {
  }
  return 0;
}
