// Password-protected .xls workbooks: a FILEPASS record among the globals
// says that the records after it are encrypted (record headers stay plain).
// The three schemes are XOR obfuscation, RC4 and RC4 through the CryptoAPI.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sheet/crypto/passwords.h"
#include "sheet/xls/biff_records.h"

namespace gz::sheet {

// True when the workbook globals at the start of `stream` hold a FILEPASS record.
bool hasFilePass(biff::Bytes stream);

// Decrypts the records after the FILEPASS record in place, with the default
// password or one from `ask`; afterwards the stream reads as a plain one
// (the FILEPASS record itself stays and is to be skipped). Throws ReadError:
// Encrypted or WrongPassword when no password opens it, Damaged for a broken
// FILEPASS record, Unsupported for an unknown algorithm.
void decryptWorkbookStream(std::vector<uint8_t>& stream, const PasswordSource& ask, const std::string& file);

}  // namespace gz::sheet
