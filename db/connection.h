// The database connection: SQLite (embedded default), PostgreSQL (shared
// server) or ODBC (the Access database on Windows), through Qt SQL.
//
// Texts cross this boundary as GB 18030; the connection converts to and from the
// database's own encoding (UTF-8 for SQLite and PostgreSQL).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "db/dialect.h"
#include "db/value.h"

namespace gz::db {

// A database failure with its context: what was being done, the statement
// (UTF-8) and the driver's text. what() is one line for the operator (UTF-8).
class DbError : public std::runtime_error {
 public:
  DbError(const std::string& message, std::string statement = {})
      : std::runtime_error(message), statement_(std::move(statement)) {}
  const std::string& statement() const { return statement_; }

 private:
  std::string statement_;
};

// The database undid the whole open transaction by itself (disk full, an I/O
// error): everything since the last commit is gone and the work cannot go on
// as if one statement had been refused.
class TransactionLost : public DbError {
 public:
  using DbError::DbError;
};

// Rows of a query, read by column name. Null reads as 0 or the empty text.
class ResultSet {
 public:
  virtual ~ResultSet() = default;
  virtual bool next() = 0;  // moves to the next row; false at the end
  virtual int64_t integer(const char* column) const = 0;   // throws DbError for a missing column
  virtual std::string text(const char* column) const = 0;  // GB 18030; throws DbError for a missing column
  virtual Value value(const char* column) const = 0;       // dates as Date, texts GB 18030
};

// A new person row: columns set by name, then stored in one insert.
class PersonRecord {
 public:
  void set(const std::string& column, Value v);
  const std::vector<std::pair<std::string, Value>>& columns() const { return columns_; }
  void clear() { columns_.clear(); }

 private:
  std::vector<std::pair<std::string, Value>> columns_;  // in the order set; a later set replaces
};

class Connection {
 public:
  virtual ~Connection() = default;

  virtual const Dialect& dialect() const = 0;
  // A short description for messages ("SQLite database gzgl.mdb").
  virtual std::string describe() const = 0;

  // Runs a statement that returns no rows. Throws DbError with the statement.
  virtual void execute(const Statement& s) = 0;
  // Same, but a refusal by the database is returned as false instead of
  // thrown; the surrounding transaction stays usable (a savepoint guards the
  // statement where the backend needs one).
  virtual bool tryExecute(const Statement& s) = 0;
  virtual std::unique_ptr<ResultSet> query(const Statement& s) = 0;

  // Stores a person row in ryjbxx and returns its new id. Throws DbError.
  virtual int64_t insertPerson(const PersonRecord& r) = 0;

  // Transactions and savepoints (nesting is the caller's business).
  virtual void begin() = 0;
  virtual void commit() = 0;
  virtual void rollback() = 0;
  virtual void savepoint(const char* name) = 0;
  virtual void releaseSavepoint(const char* name) = 0;
  virtual void rollbackToSavepoint(const char* name) = 0;
};

// Opens a database named the way the command line and the window take it:
//   a file path (SQLite file, or a Jet .mdb file through the Access ODBC
//   driver where one is installed), "postgresql://user@host:port/name", or
//   "odbc:<connection string>". Throws DbError with a clear message when the
//   file is missing or not a database, or the server cannot be reached.
std::unique_ptr<Connection> openDatabase(const std::string& target);

// Rolls back unless committed.
class Transaction {
 public:
  explicit Transaction(Connection& c) : c_(c) { c_.begin(); }
  ~Transaction() {
    if (!done_) {
      try {
        c_.rollback();
      } catch (...) {
      }
    }
  }
  void commit() {
    c_.commit();
    done_ = true;
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

 private:
  Connection& c_;
  bool done_ = false;
};

}  // namespace gz::db
