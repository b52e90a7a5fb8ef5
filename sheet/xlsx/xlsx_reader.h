// The .xlsx reader: a zip package of Office Open XML parts, plain or
// encrypted inside a compound file. `name` is used in error messages and
// passed to `ask` only. Both throw WorkbookError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sheet/crypto/passwords.h"
#include "sheet/model/workbook.h"

namespace gz::sheet {

// `request` picks the sheet (the active one by default).
std::unique_ptr<Workbook> readXlsx(const unsigned char* data, std::size_t size, const std::string& name,
                                   const SheetRequest& request = {});

// An .xlsx package encrypted inside a compound file: the contents of its
// EncryptionInfo and EncryptedPackage streams, tried with the default
// password, then with those `ask` gives.
std::unique_ptr<Workbook> readEncryptedXlsx(const std::vector<uint8_t>& info, const std::vector<uint8_t>& encrypted,
                                            const std::string& name, const PasswordSource& ask,
                                            const SheetRequest& request = {});

}  // namespace gz::sheet
