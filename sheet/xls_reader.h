// The .xls reader's inner entry points: a workbook stream already taken out
// of its compound file, and an encrypted package. readXls() (sheet/readers.h)
// is the public one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sheet/workbook.h"

namespace gz::sheet {

// Reads the active sheet of a BIFF5/BIFF8 workbook stream, decrypting it
// first when it is encrypted (passwords as for readXls). `bookStream`: the
// stream was named "Book". Throws WorkbookError naming `name`.
std::unique_ptr<Workbook> readXlsStream(const uint8_t* data, std::size_t size, bool bookStream, const std::string& name,
                                        const PasswordSource& ask = {});

// An .xlsx package encrypted inside a compound file: the contents of its
// EncryptionInfo and EncryptedPackage streams. Throws WorkbookError naming `name`.
std::unique_ptr<Workbook> readEncryptedXlsx(const std::vector<uint8_t>& info, const std::vector<uint8_t>& encrypted,
                                            const std::string& name, const PasswordSource& ask);

}  // namespace gz::sheet
