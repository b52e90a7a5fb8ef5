// A connection for checks before writing: everything the run writes happens inside one
// outer transaction that is rolled back at the end. The run's own
// transactions become savepoints inside it, so the run works unchanged.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "db/connection.h"
#include "db/payroll/dialect.h"

namespace gz::imp {

class DryRunConnection : public db::Connection, public db::DialectSource {
 public:
  // Begins the outer transaction on `inner`.
  explicit DryRunConnection(db::Connection& inner);
  // Rolls the outer transaction back: nothing of the run is left.
  ~DryRunConnection() override = default;

  const db::Dialect& dialect() const override { return db::dialectOf(inner_); }
  db::DialectKind dialectKind() const override { return inner_.dialectKind(); }
  std::string describe() const override { return inner_.describe(); }
  void execute(const db::Statement& s) override { inner_.execute(s); }
  bool tryExecute(const db::Statement& s) override { return inner_.tryExecute(s); }
  std::unique_ptr<db::ResultSet> query(const db::Statement& s) override { return inner_.query(s); }
  int64_t insertReturningKey(std::string_view table, const db::Row& row, std::string_view keyColumn) override {
    return inner_.insertReturningKey(table, row, keyColumn);
  }
  void setBusyWait(const db::BusyWait& wait) override { inner_.setBusyWait(wait); }

 private:
  void begin() override;
  void commit() override;
  void rollback() override;
  void savepoint(const char* name) override { savepointOn(inner_, name); }
  void releaseSavepoint(const char* name) override { releaseSavepointOn(inner_, name); }
  void rollbackToSavepoint(const char* name) override { rollbackToSavepointOn(inner_, name); }

  db::Connection& inner_;
  db::Transaction outer_;
  std::optional<db::Savepoint> run_;  // the run's open transaction, as a savepoint
};

}  // namespace gz::imp
