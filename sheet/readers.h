// The workbook readers behind openWorkbook(), one per form. All read from
// memory, so the file is read once and the fuzz targets can feed bytes directly.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "sheet/workbook.h"

namespace gz::sheet {

// Initialises libgsf once per process (safe to call from anywhere, repeatedly).
void ensureGsfInitialized();

// `name` is used in error messages and passed to `ask` only (the file name
// the operator chose). All throw WorkbookError; none keeps a pointer to
// `data` after returning. Encrypted workbooks are tried with the default
// password, then with those `ask` gives (see openWorkbookAskingPassword).
// The readers of forms without sheet names (CSV, web pages, Excel 2.x to
// 4.0) name the sheet after the file, as a sheet program does.

// A compound file: an .xls workbook, or an .xlsx package encrypted inside one.
std::unique_ptr<Workbook> readXls(const unsigned char* data, std::size_t size, const std::string& name,
                                  const PasswordSource& ask = {});
// A zip package.
std::unique_ptr<Workbook> readXlsx(const unsigned char* data, std::size_t size, const std::string& name);
// Any form, by the file's bytes.
std::unique_ptr<Workbook> readWorkbook(const unsigned char* data, std::size_t size, const std::string& name,
                                       const PasswordSource& ask = {});
// An Excel 2.x, 3.0 or 4.0 worksheet (BIFF2 to BIFF4 records, no container).
std::unique_ptr<Workbook> readOldXls(const unsigned char* data, std::size_t size, const std::string& name);
// XML Spreadsheet 2003.
std::unique_ptr<Workbook> readXmlSpreadsheet(const unsigned char* data, std::size_t size, const std::string& name);
// OpenDocument spreadsheets: the zip package (.ods) and the flat XML (.fods).
std::unique_ptr<Workbook> readOpenDocument(const unsigned char* data, std::size_t size, const std::string& name);
std::unique_ptr<Workbook> readFlatOpenDocument(const unsigned char* data, std::size_t size, const std::string& name);
// The first table of a web page.
std::unique_ptr<Workbook> readHtmlTable(const unsigned char* data, std::size_t size, const std::string& name);
// CSV or tab-separated text.
std::unique_ptr<Workbook> readDelimitedText(const unsigned char* data, std::size_t size, const std::string& name);

}  // namespace gz::sheet
