// Failures of reading an Access file: what went wrong, as a kind, and one
// line for the operator that names the file.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace gz::migrate {

enum class AccessFault : uint8_t {
  NotFound,         // no file at that path, or it cannot be read
  NotAccess,        // the file is no Access database
  Encrypted,        // an .accdb encrypted with a password to open (Office encryption)
  PasswordMissing,  // the file has a database password and none was given
  PasswordWrong,    // the password given is not the file's
  Damaged,          // the file is damaged or cut short
  Unsupported,      // a value or column the migration cannot carry without loss
  NoSuchTable,      // a table asked for is not in the file
  TargetExists,     // the target has a table of that name already
};

class AccessError : public std::runtime_error {
 public:
  AccessError(AccessFault fault, const std::string& message) : std::runtime_error(message), fault_(fault) {}
  AccessFault fault() const { return fault_; }

 private:
  AccessFault fault_;
};

}  // namespace gz::migrate
