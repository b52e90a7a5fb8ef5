// A Connection straight on libpq, PostgreSQL's own client library. Each
// statement shape is prepared once on the server; a batch of rows goes in
// through COPY and pipeline mode, in a few round trips instead of one per
// statement (see BulkWriting).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/bulk_writing.h"
#include "db/connection.h"

struct pg_conn;
struct pg_result;

namespace gz::db {

class PgConnection final : public Connection, public BulkWriting {
 public:
  // Connects to a "postgresql://" address as the operator gave it: libpq
  // reads its parameters (?sslmode=...), .pgpass, PGPASSWORD and service
  // files. Texts travel as UTF-8. Throws DbError (CannotConnect) when the
  // address lacks a server or database name or the server cannot be reached;
  // no message names the password.
  explicit PgConnection(const std::string& target);
  ~PgConnection() override;
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  DialectKind dialectKind() const override { return DialectKind::Postgres; }
  std::string describe() const override { return description_; }
  void execute(const Statement& s) override;
  bool tryExecute(const Statement& s) override;
  std::unique_ptr<ResultSet> query(const Statement& s) override;
  int64_t insertReturningKey(std::string_view table, const Row& row, std::string_view keyColumn) override;
  void setBusyWait(const BusyWait& wait) override;
  BulkWriting* bulkWriting() override { return this; }

  bool canReserveIds(std::string_view table, std::string_view column) override;
  std::vector<int64_t> reserveIds(std::string_view table, std::string_view column, int count) override;
  Statement insertWithId(std::string_view table, const Row& row, std::string_view keyColumn, int64_t key) override;
  void executeBatch(const std::vector<Statement>& statements) override;
  void executeInOrder(const std::vector<Statement>& statements) override;

  struct ResultDeleter {
    void operator()(pg_result* r) const;
  };
  using Result = std::unique_ptr<pg_result, ResultDeleter>;

 private:
  struct FinishConnection {
    void operator()(pg_conn* c) const;
  };
  // How a key column is numbered.
  struct KeyNumbering {
    std::string sequence;          // empty when the column has no sequence of its own
    bool alwaysGenerated = false;  // an identity column "generated always"
  };

  void begin() override;
  void commit() override;
  void rollback() override;
  void savepoint(const char* name) override;
  void releaseSavepoint(const char* name) override;
  void rollbackToSavepoint(const char* name) override;

  // The server-side name of the prepared statement for `text` (GB 18030,
  // "?" placeholders), prepared on first use.
  const std::string& prepared(const std::string& text, const Statement& forMessages);
  // Runs `s` and returns its result; throws DbError saying `what` when the
  // server refuses it.
  Result run(const Statement& s, const char* what);
  void runPlain(const std::string& sql, const char* what);
  // Throws the failure of `r` (null: of the connection) with its kind.
  [[noreturn]] void fail(const char* what, const pg_result* r, const Statement& s);
  DbFault faultOf(const pg_result* r) const;
  // How table.column is numbered, looked up unless known.
  const KeyNumbering& keyNumbering(std::string_view table, std::string_view column);
  // The rows of the bulk loads, one COPY each, sent as one query.
  void copyRows(const std::vector<BatchPlan::Load>& loads);
  // Sends every statement before reading any answer; throws for the first refused.
  void pipeline(const std::vector<const Statement*>& statements);
  // Whether the column is null where an insert leaves it out; asked once per column.
  bool nullByDefault(std::string_view table, std::string_view column);

  std::unique_ptr<pg_conn, FinishConnection> conn_;
  std::string description_;
  std::unordered_map<std::string, std::string> preparedByText_;
  std::unordered_map<std::string, bool> nullByDefault_;  // "table.column": null where an insert leaves it out
  bool inTransaction_ = false;
  int savepointDepth_ = 0;  // savepoints set and not yet released
  std::unordered_map<std::string, KeyNumbering> keyNumbering_;  // by "table.column"
};

}  // namespace gz::db
