// The workbook forms written as text: XML Spreadsheet 2003, a web page's
// first table, and CSV or tab-separated text. `name` is used in error
// messages only; the forms without sheet names (web pages, CSV) have one
// sheet, named after the file as a sheet program does: a web page's later
// tables are not read. `request` picks the sheet (the active one by
// default). All throw WorkbookError.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "sheet/model/workbook.h"

namespace gz::sheet {

std::unique_ptr<Workbook> readXmlSpreadsheet(const unsigned char* data, std::size_t size, const std::string& name,
                                             const SheetRequest& request = {});
std::unique_ptr<Workbook> readHtmlTable(const unsigned char* data, std::size_t size, const std::string& name,
                                        const SheetRequest& request = {});
std::unique_ptr<Workbook> readDelimitedText(const unsigned char* data, std::size_t size, const std::string& name,
                                            const SheetRequest& request = {});

}  // namespace gz::sheet
