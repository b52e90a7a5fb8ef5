// What every reader needs while it fills a workbook: the sheet name of a file
// that names none, the limit on cells read, and the joining of notices.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "sheet/model/sheet_data.h"
#include "sheet/model/workbook.h"

namespace gz::sheet {

// The sheet name a sheet program gives a file that names none (a CSV file,
// a web page, an Excel 2.x to 4.0 worksheet): the file name without folder
// and extension, in GB 18030. `fileUtf8` is the name the operator chose.
std::string sheetNameOfFile(const std::string& fileUtf8);

// The most cells a reader keeps: 16 bytes a cell, 128 MB, far beyond any
// personnel sheet. Throws WorkbookError (naming `file`) past it.
inline constexpr std::size_t kMaxCellsRead = std::size_t{1} << 23;
void checkCellCount(const SheetData& sheet, const std::string& file);

// The workbook of a form that holds one sheet, named after the file; throws
// WorkbookError (NoSuchSheet) when `request` names another.
std::unique_ptr<Workbook> startSingleSheet(const std::string& fileUtf8, const SheetRequest& request);

// Appends a remark to a notice, separated by "; ".
void addNotice(std::string& notice, const std::string& gb);

}  // namespace gz::sheet
