// The database connection: SQLite (embedded default) and PostgreSQL (shared
// server) through their own client libraries, or ODBC (the Access database
// on Windows) through Qt SQL.
//
// Texts cross this boundary as GB 18030; the connection converts to and from the
// database's own encoding (UTF-8 for SQLite and PostgreSQL).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/row.h"
#include "db/statement.h"
#include "db/value.h"

namespace gz::db {

class BulkWriting;

// A value as the database stored it, seen in place: valid only during the
// call it is handed to. Texts are GB 18030, as a query reads them.
struct StoredValue {
  enum class Kind : uint8_t { Null, Whole, Decimal, Text, Bytes };
  Kind kind = Kind::Null;
  int64_t whole = 0;
  double decimal = 0;
  std::string_view text;  // Text and Bytes
};

// A table whose inserted rows an InsertCapture keeps: each row as the value
// of its key column, of its owner column and a digest of all its values.
struct CapturedTable {
  std::string table;
  std::string keyColumn;
  std::string ownerColumn;
};
struct CapturedRow {
  int64_t key = 0;
  std::optional<int64_t> owner;  // none where the owner column holds no whole number
  uint64_t digest = 0;
};

// The rows inserted into some tables as they are stored, kept while it
// lives, without reading them back. Rows whose insert was undone (a
// refused statement, a savepoint rolled back to, a transaction rolled back)
// are dropped with it.
class InsertCapture {
 public:
  virtual ~InsertCapture() = default;  // capturing stops
  struct Taken {
    // False where rows of the table were also deleted or changed, or a row
    // came without a whole-number key: its rows must be read instead.
    bool complete = true;
    std::vector<std::string> columns;  // the table's, as a query of all its columns names them
    std::vector<CapturedRow> rows;     // in the order they were inserted
  };
  // What the open transaction has inserted so far, per table in the order
  // they were named; the capture starts anew.
  virtual std::vector<Taken> take() = 0;
};

// What kind of failure a database error is. Callers decide by the kind what
// to do next (drop one row, wait and try again, end the run); the sentence is
// only for the operator.
enum class DbFault : uint8_t {
  Refused,          // the database refused the statement: syntax, a constraint, a type, a permission
  MissingTable,     // the statement names a table the database does not have
  MissingColumn,    // the statement names a column the table does not have
  Busy,             // another user holds a lock, or waiting for one timed out: may succeed later
  ConnectionLost,   // the connection broke (server gone, network, I/O error on the file)
  TransactionLost,  // the database undid the whole open transaction by itself
  OutOfResources,   // disk full, out of memory, too many connections
  NotFound,         // no database file at the name given
  NotADatabase,     // the file is not a database, or it is damaged
  CannotConnect,    // the database could not be opened or reached (driver, address, server, login)
  Exists,           // refused to create a database over an existing file
  Unsupported,      // the database cannot do what was asked (savepoints on Access, no auto-number)
  Misuse,           // the program used the connection wrongly (a value count that does not match)
  ReadOnly,         // the database can be read but not written (a write-protected file, a standby server)
};

// A failure that is not the statement's own but the database's: held by
// another user past the wait, gone, full, write-protected, or the open
// transaction undone.
// Work stops there instead of blaming the row or line that met it.
constexpr bool endsTheWork(DbFault f) {
  return f == DbFault::Busy || f == DbFault::ConnectionLost || f == DbFault::TransactionLost ||
         f == DbFault::OutOfResources || f == DbFault::ReadOnly;
}

// How a statement meets a lock that another user holds: it waits up to
// `limit`, and `waiting` is called once a wait has lasted a moment (on the
// caller's thread, from inside the statement: show it, run nothing else on the
// connection). When the limit passes the statement throws DbError(Busy).
struct BusyWait {
  static constexpr std::chrono::seconds kDefaultLimit{60};
  std::chrono::milliseconds limit = kDefaultLimit;
  std::function<void()> waiting;  // may be empty
};

// A database failure with its kind and context: what was being done, the
// statement (UTF-8) and the driver's text. what() is one line for the
// operator (UTF-8).
class DbError : public std::runtime_error {
 public:
  DbError(DbFault fault, const std::string& message, std::string statement = {})
      : std::runtime_error(message), fault_(fault), statement_(std::move(statement)) {}
  // A refusal by the database.
  explicit DbError(const std::string& message, std::string statement = {})
      : DbError(DbFault::Refused, message, std::move(statement)) {}
  DbFault fault() const { return fault_; }
  const std::string& statement() const { return statement_; }

 private:
  DbFault fault_;
  std::string statement_;
};

// The database undid the whole open transaction by itself (disk full, an I/O
// error, a statement refused outside a savepoint on PostgreSQL): everything
// since the last commit is gone and the work cannot go on as if one statement
// had been refused. Every error of that kind is thrown as this class.
class TransactionLost : public DbError {
 public:
  explicit TransactionLost(const std::string& message, std::string statement = {})
      : DbError(DbFault::TransactionLost, message, std::move(statement)) {}
};

// Throws `fault` as DbError, or as TransactionLost when that is its kind.
[[noreturn]] void throwDbError(DbFault fault, const std::string& message, std::string statement = {});

// Rows of a query, read by column name. Null reads as 0 or the empty text.
class ResultSet {
 public:
  virtual ~ResultSet() = default;
  virtual bool next() = 0;  // moves to the next row; false at the end
  virtual int64_t integer(const char* column) const = 0;   // throws DbError for a missing column
  virtual std::string text(const char* column) const = 0;  // GB 18030; throws DbError for a missing column
  virtual Value value(const char* column) const = 0;       // dates as Date, texts GB 18030
  // The names of the result's columns, in their order (as the database spells them).
  virtual std::vector<std::string> columnNames() const = 0;
  // The value of the column at `column` in columnNames()' order, as value()
  // reads it, without looking the name up.
  virtual Value valueAt(int column) const { return value(columnNames().at(static_cast<std::size_t>(column)).c_str()); }
};

class Connection {
 public:
  virtual ~Connection() = default;

  virtual DialectKind dialectKind() const = 0;
  // A short description for messages ("SQLite database gzgl.mdb").
  virtual std::string describe() const = 0;

  // Runs a statement that returns no rows. Throws DbError with the statement.
  virtual void execute(const Statement& s) = 0;
  // Same, but a refusal of the statement is returned as false instead of
  // thrown; the surrounding transaction stays usable (a savepoint guards the
  // statement where the backend needs one). A failure that ends the work
  // (endsTheWork) is still thrown.
  virtual bool tryExecute(const Statement& s) = 0;
  virtual std::unique_ptr<ResultSet> query(const Statement& s) = 0;

  // Stores `row` in `table` and returns the value the database numbered its
  // `keyColumn` with (an auto-number). Throws DbError.
  virtual int64_t insertReturningKey(std::string_view table, const Row& row, std::string_view keyColumn) = 0;

  // Runs statements that return no rows in their order, each as tryExecute
  // would: a refused one is dropped alone. Says for each whether it was
  // stored. A backend may send a run of inserts of one shape as one.
  virtual std::vector<bool> tryExecuteEach(const std::vector<Statement>& statements);
  // Writing batches of rows without a round trip per statement; null where the connection has no such way.
  virtual BulkWriting* bulkWriting() { return nullptr; }
  // Keeps the rows inserted into `tables` from now on, each with the digest
  // of its values as stored (RowDigest), until the capture goes; null where
  // the database cannot hand them over as it stores them.
  virtual std::unique_ptr<InsertCapture> captureInserts(const std::vector<CapturedTable>& /*tables*/) {
    return nullptr;
  }
  // How statements wait for other users' locks from now on (see BusyWait).
  virtual void setBusyWait(const BusyWait& wait) = 0;

 protected:
  // For a connection that passes its work on to another one.
  static void beginOn(Connection& c) { c.begin(); }
  static void commitOn(Connection& c) { c.commit(); }
  static void rollbackOn(Connection& c) { c.rollback(); }
  static void savepointOn(Connection& c, const char* name) { c.savepoint(name); }
  static void releaseSavepointOn(Connection& c, const char* name) { c.releaseSavepoint(name); }
  static void rollbackToSavepointOn(Connection& c, const char* name) { c.rollbackToSavepoint(name); }

  // tryExecute for a backend where a refused statement spoils the open
  // transaction: under `guarded` the statement runs under a savepoint of
  // its own, rolled back when it is refused.
  bool tryUnderSavepoint(const Statement& s, bool guarded);

 private:
  friend class Transaction;
  friend class Savepoint;

  // Transactions and savepoints, reached through Transaction and Savepoint
  // alone, which pair the calls on every path.
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

// A transaction that is rolled back unless committed. commit() may be
// called once: a second call is a mistake in the program (std::logic_error).
class Transaction {
 public:
  explicit Transaction(Connection& c);  // begins; throws DbError
  ~Transaction();                       // rolls back unless ended; errors are swallowed
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // Keeps the work. When the database refuses, the transaction is still
  // open and is rolled back when this object goes.
  void commit();
  // Undoes the work now. When the database refuses (DbError), the
  // transaction counts as open and is rolled back again when this object goes.
  void rollback();
  bool active() const { return active_; }

 private:
  Connection& c_;
  bool active_ = true;
};

// A savepoint inside the open transaction: the work done while it lives is
// undone when it goes, unless release() kept it. Each may be ended once, by
// release() or rollback(); a second end is a mistake in the program
// (std::logic_error).
class Savepoint {
 public:
  Savepoint(Connection& c, std::string name);  // sets it; throws DbError
  ~Savepoint();                                // rolls back to it unless ended; errors are swallowed
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;

  // Keeps the work since the savepoint. When the database refuses, the
  // savepoint stays and is rolled back to when this object goes.
  void release();
  // Undoes the work since the savepoint and ends it. When the database
  // refuses (DbError), it stays and is rolled back to again when this object goes.
  void rollback();
  bool active() const { return active_; }

 private:
  Connection& c_;
  std::string name_;
  bool active_ = true;
};

}  // namespace gz::db
