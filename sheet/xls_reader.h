// The .xls reader's inner entry point: a workbook stream already taken out
// of its compound file. readXls() (sheet/readers.h) is the public one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "sheet/workbook.h"

namespace gz::sheet {

// Reads the active sheet of a BIFF5/BIFF8 workbook stream. `bookStream`: the
// stream was named "Book". Throws WorkbookError naming `name`.
std::unique_ptr<Workbook> readXlsStream(const uint8_t* data, std::size_t size, bool bookStream,
                                        const std::string& name);

}  // namespace gz::sheet
