// libFuzzer target for the workbook forms other than .xls and .xlsx (which
// have their own targets): the bytes go through the form detection and on to
// the reader it names, as openWorkbook() hands them on: OpenDocument
// (.ods, .fods), XML Spreadsheet 2003, web pages, CSV and tab-separated text,
// Excel 2.x to 4.0 and bare BIFF streams. Any input must give a workbook or
// a WorkbookError, and a workbook's cells must all be readable in every form.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/read_every_cell.h"
#include "sheet/model/workbook_error.h"
#include "sheet/open_workbook.h"
#include "sheet/workbook_form.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gz::sheet;
  const WorkbookForm form = detectForm(data, size);
  // The xls and xlsx targets cover these.
  if (form == WorkbookForm::CompoundFile || form == WorkbookForm::OfficeOpenXml) return 0;
  try {
    gz::fuzz::readEveryCell(*readWorkbook(data, size, "fuzz.xls"));
  } catch (const WorkbookError&) {
  }
  return 0;
}
