// The error a file that cannot be read as a workbook raises, and its kinds.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace gz::sheet {

// Why a file could not be read as a workbook.
enum class WorkbookFault : uint8_t {
  Missing,        // no file at the path
  NotAWorkbook,   // a file, but not a workbook of any form the reader knows
  Damaged,        // a workbook whose structure is broken or truncated
  Encrypted,      // it has a password to open and none was given
  WrongPassword,  // the password given does not open it
  Unsupported,    // a workbook form or version the reader does not read
  Unreadable,     // the file itself could not be read (permissions, I/O, memory)
  NoSuchSheet,    // the sheet asked for by name or number is not in the workbook
};

// A file that cannot be read as a workbook. reason() is the operator's
// sentence without the file name, file() the name the operator chose (both
// UTF-8); what() names the file once: "<reason>: <file>".
class WorkbookError : public std::runtime_error {
 public:
  WorkbookError(WorkbookFault fault, const std::string& reason, const std::string& file)
      : std::runtime_error(file.empty() ? reason : reason + ": " + file), fault_(fault), reason_(reason), file_(file) {}
  WorkbookFault fault() const { return fault_; }
  const std::string& reason() const { return reason_; }
  const std::string& file() const { return file_; }

 private:
  WorkbookFault fault_;
  std::string reason_;
  std::string file_;
};

}  // namespace gz::sheet
