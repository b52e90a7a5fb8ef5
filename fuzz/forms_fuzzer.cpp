// libFuzzer target for the workbook forms other than .xls and .xlsx (which
// have their own targets): the bytes go through the form detection and on to
// the reader it names, as openWorkbook() hands them on: OpenDocument
// (.ods, .fods), XML Spreadsheet 2003, web pages, CSV and tab-separated text,
// Excel 2.x to 4.0 and bare BIFF streams. Any input must give a workbook or
// a WorkbookError, and a workbook's cells must all be readable in every form.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/dates.h"
#include "sheet/model/sheet_data.h"
#include "sheet/model/workbook.h"
#include "sheet/model/workbook_error.h"
#include "sheet/ods/ods_reader.h"
#include "sheet/text_forms/text_form_readers.h"
#include "sheet/workbook_form.h"
#include "sheet/xls/xls_reader.h"

namespace {

std::unique_ptr<gz::sheet::Workbook> read(const uint8_t* data, size_t size) {
  using namespace gz::sheet;
  const std::string name = "fuzz.xls";
  switch (detectForm(data, size)) {
    case WorkbookForm::OpenDocument: return readOpenDocument(data, size, name);
    case WorkbookForm::BiffStream: return readXlsStream(data, size, false, name);
    case WorkbookForm::OldBiffStream: return readOldXls(data, size, name);
    case WorkbookForm::XmlSpreadsheet: return readXmlSpreadsheet(data, size, name);
    case WorkbookForm::FlatOpenDocument: return readFlatOpenDocument(data, size, name);
    case WorkbookForm::HtmlPage: return readHtmlTable(data, size, name);
    case WorkbookForm::DelimitedText: return readDelimitedText(data, size, name);
    case WorkbookForm::CompoundFile:  // the xls and xlsx targets cover these
    case WorkbookForm::OfficeOpenXml:
    case WorkbookForm::Unknown: break;
  }
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gz::sheet;
  try {
    const std::unique_ptr<Workbook> book = read(data, size);
    if (!book) return 0;
    const SheetData& sheet = book->sheet();
    const uint32_t lastRow = sheet.lastRow() < 200 ? sheet.lastRow() : 200;
    for (uint32_t row = 1; row <= lastRow; ++row) {
      const uint32_t lastCol = sheet.lastColumn(row) < 50 ? sheet.lastColumn(row) : 50;
      for (uint32_t col = 1; col <= lastCol; ++col) {
        const CellValue v = sheet.value(row, col);
        (void)cellText(v);
        if (auto d = readCellDate(v)) (void)isoDateText(d->serial);
      }
    }
    (void)book->sheetName();
    (void)book->notice();
  } catch (const WorkbookError&) {
  }
  return 0;
}
