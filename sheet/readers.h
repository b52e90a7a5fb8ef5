// The two workbook readers behind openWorkbook(). Both read from memory, so
// the file is read once and the fuzz targets can feed bytes directly.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "sheet/workbook.h"

namespace gz::sheet {

// Initialises libgsf once per process (safe to call from anywhere, repeatedly).
void ensureGsfInitialized();

// `name` is used in error messages only (the file name the operator chose).
// Both throw WorkbookError; neither keeps a pointer to `data` after returning.
std::unique_ptr<Workbook> readXls(const unsigned char* data, std::size_t size, const std::string& name);
std::unique_ptr<Workbook> readXlsx(const unsigned char* data, std::size_t size, const std::string& name);

}  // namespace gz::sheet
