// Keeps runs whose departments overlap (one code a prefix of the other) from
// writing at the same time, and lets the database's statements wait for
// other users' locks, telling the front end, for the length of one run.
//
// PostgreSQL: session advisory locks, held until the run lets them go (the
// server drops them with a lost connection), keyed by the schema the run
// writes to: shared on every proper prefix of the code, the empty one
// included, and exclusive on the code itself. Two
// overlapping runs meet on the shorter code, which one holds exclusive and the
// other shared; runs into unrelated departments share only prefixes and go
// side by side.
//
// SQLite: a lock file next to the database ("<file>.import-lock"), so one run
// at a time writes to the file. SQLite lets one writer in at a time anyway,
// so unrelated departments lose little; a file lock also reaches other
// programs and other computers sharing the file, which a lock inside the
// database cannot do without holding a write transaction for the whole run.
// The lock file of a run that was killed is taken over (its process is gone).
//
// Access through ODBC has no run lock.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string_view>

#include "import/shared/outcome.h"

namespace gz::db {
class Connection;
}

namespace gz::imp {

class Frontend;

// One way of holding a department: all of it or nothing.
class DepartmentLock {
 public:
  virtual ~DepartmentLock() = default;
  // True when taken; false, holding nothing, when another run holds part of it.
  virtual bool tryTake() = 0;
};

// The run's hold on the database, for as long as it lives.
class RunGuard {
 public:
  // Sets the connection's busy wait to `wait`, telling `frontend` when a
  // statement waits, and takes the department, waiting up to `wait` for
  // other runs (and letting events run, so an abort is seen).
  RunGuard(db::Connection& conn, Frontend& frontend, std::string_view deptCode, std::chrono::milliseconds wait);
  // Lets the department go; the busy wait no longer calls the front end.
  ~RunGuard();
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

  // Why the run must not write (another run held the department past the
  // wait, or the operator aborted while waiting); nullopt when it holds.
  std::optional<ImportOutcome>& refused() { return refused_; }

 private:
  db::Connection& conn_;
  std::chrono::milliseconds wait_;
  std::unique_ptr<DepartmentLock> lock_;
  std::optional<ImportOutcome> refused_;
};

// The lock for the department on this connection's database, or null where
// there is none (Access, an SQLite database without a file).
std::unique_ptr<DepartmentLock> departmentLock(db::Connection& conn, std::string_view deptCode);

}  // namespace gz::imp
