// Failures of the run journal and of taking a run back, by kind.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace gz::journal {

enum class JournalFault : uint8_t {
  CannotWrite,       // the journal file cannot be created, opened or written
  Damaged,           // the journal file holds something it could not have written
  NoSuchRun,         // no recorded run of this database has that number, or none is left to take back
  AlreadyTakenBack,  // the run was taken back before
  LaterRunFirst,     // a later run into an overlapping department must be taken back first
  ChangedSince,      // a row the run left was changed, or a key it freed was taken, after the run
  RunInProgress,     // another run holds the department
};

// what() is one line for the operator (UTF-8).
class JournalError : public std::runtime_error {
 public:
  JournalError(JournalFault fault, const std::string& message) : std::runtime_error(message), fault_(fault) {}
  JournalFault fault() const { return fault_; }

 private:
  JournalFault fault_;
};

}  // namespace gz::journal
