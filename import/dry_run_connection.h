// A connection for checks before writing: everything the run writes happens inside one
// outer transaction that is rolled back at the end. The run's own
// transactions become savepoints inside it, so the run works unchanged.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "db/connection.h"

namespace gz::imp {

class DryRunConnection : public db::Connection {
 public:
  // Begins the outer transaction on `inner`.
  explicit DryRunConnection(db::Connection& inner);
  // Rolls the outer transaction back: nothing of the run is left.
  ~DryRunConnection() override = default;

  const db::Dialect& dialect() const override { return inner_.dialect(); }
  std::string describe() const override { return inner_.describe(); }
  void execute(const db::Statement& s) override { inner_.execute(s); }
  bool tryExecute(const db::Statement& s) override { return inner_.tryExecute(s); }
  std::unique_ptr<db::ResultSet> query(const db::Statement& s) override { return inner_.query(s); }
  int64_t insertPerson(const db::PersonRecord& r) override { return inner_.insertPerson(r); }

  void begin() override;
  void commit() override;
  void rollback() override;
  void savepoint(const char* name) override { inner_.savepoint(name); }
  void releaseSavepoint(const char* name) override { inner_.releaseSavepoint(name); }
  void rollbackToSavepoint(const char* name) override { inner_.rollbackToSavepoint(name); }
  void setBusyWait(const db::BusyWait& wait) override { inner_.setBusyWait(wait); }

 private:
  db::Connection& inner_;
  db::Transaction outer_;
  std::optional<db::Savepoint> run_;  // the run's open transaction, as a savepoint
};

}  // namespace gz::imp
