// The .xls reader: BIFF5/BIFF8 workbooks (also WPS .et/.ett) in a compound
// file or as a bare stream, and Excel 2.x to 4.0 worksheets. `name` is used in
// error messages and passed to `ask` only (the file name the operator chose).
// All throw WorkbookError; none keeps a pointer to `data` after returning.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "sheet/crypto/passwords.h"
#include "sheet/model/workbook.h"

namespace gz::sheet {

class CompoundFile;

// The workbook stream of a compound file. An encrypted stream is tried with
// the default password, then with those `ask` gives.
// `request` picks the sheet (the active one by default).
std::unique_ptr<Workbook> readXls(const CompoundFile& file, const std::string& name, const PasswordSource& ask = {},
                                  const SheetRequest& request = {});
std::unique_ptr<Workbook> readXls(const unsigned char* data, std::size_t size, const std::string& name,
                                  const PasswordSource& ask = {}, const SheetRequest& request = {});

// Reads the active (or requested) sheet of a BIFF5/BIFF8 workbook stream, decrypting it
// first when it is encrypted (passwords as for readXls). `bookStream`: the
// stream was named "Book".
std::unique_ptr<Workbook> readXlsStream(const uint8_t* data, std::size_t size, bool bookStream, const std::string& name,
                                        const PasswordSource& ask = {}, const SheetRequest& request = {});

// An Excel 2.x, 3.0 or 4.0 worksheet (BIFF2 to BIFF4 records, no container),
// its sheet named after the file as a sheet program does: the one sheet there is.
std::unique_ptr<Workbook> readOldXls(const unsigned char* data, std::size_t size, const std::string& name,
                                     const SheetRequest& request = {});

}  // namespace gz::sheet
