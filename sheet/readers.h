// The workbook readers behind openWorkbook(). Both read from memory, so
// the file is read once and the fuzz targets can feed bytes directly.
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

// A compound file: an .xls workbook, or an .xlsx package encrypted inside one.
std::unique_ptr<Workbook> readXls(const unsigned char* data, std::size_t size, const std::string& name,
                                  const PasswordSource& ask = {});
// A zip package.
std::unique_ptr<Workbook> readXlsx(const unsigned char* data, std::size_t size, const std::string& name);
// Either, by the first bytes.
std::unique_ptr<Workbook> readWorkbook(const unsigned char* data, std::size_t size, const std::string& name,
                                       const PasswordSource& ask = {});

}  // namespace gz::sheet
