// OpenDocument spreadsheets: the zip package (.ods) and the flat XML (.fods).
// `name` is used in error messages only. Both throw WorkbookError.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "sheet/model/workbook.h"

namespace gz::sheet {

// `request` picks the table (the active one by default).
std::unique_ptr<Workbook> readOpenDocument(const unsigned char* data, std::size_t size, const std::string& name,
                                           const SheetRequest& request = {});
std::unique_ptr<Workbook> readFlatOpenDocument(const unsigned char* data, std::size_t size, const std::string& name,
                                               const SheetRequest& request = {});

}  // namespace gz::sheet
