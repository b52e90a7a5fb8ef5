// Recognising the form of a workbook file from its bytes, never its name:
// clerks receive web pages and XML saved as ".xls", and workbooks renamed
// by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gz::sheet {

enum class WorkbookForm : uint8_t {
  CompoundFile,      // OLE2: .xls (BIFF5/8), WPS .et/.ett, password-protected packages
  OfficeOpenXml,     // zip holding a workbook part: .xlsx, .xlsm, WPS .et in zip form
  OpenDocument,      // zip holding an OpenDocument: .ods
  BiffStream,        // a BIFF5/BIFF8 workbook stream without its compound file
  OldBiffStream,     // an Excel 2.x, 3.0 or 4.0 file (BIFF2 to BIFF4)
  XmlSpreadsheet,    // XML Spreadsheet 2003 (ss:Workbook)
  FlatOpenDocument,  // OpenDocument as one XML file: .fods
  HtmlPage,          // a web page holding a table
  DelimitedText,     // CSV or tab-separated text
  Unknown,
};

WorkbookForm detectForm(const unsigned char* data, std::size_t size);

// The file name patterns of the forms above, for file choosers: "*.xls",
// "*.xlsx", "*.xlsm", "*.et", "*.ett", "*.ods", "*.fods", "*.xml", "*.htm",
// "*.html", "*.csv", "*.txt". The name only chooses what is listed; the
// form is still read from the bytes.
const std::vector<std::string>& workbookFilePatterns();

}  // namespace gz::sheet
