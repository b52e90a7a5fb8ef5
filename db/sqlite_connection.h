// A Connection straight on the SQLite library. The import writes hundreds of
// thousands of rows per run; binding through the library's own calls keeps
// each statement at a few microseconds. Statements with bound values are
// prepared once per text and kept.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/connection.h"

struct sqlite3;
struct sqlite3_stmt;

namespace gz::db {

class SqliteCapture;

class SqliteConnection final : public Connection {
 public:
  // Opens an existing SQLite file read-write (or creates it when `create`).
  // Throws DbError when it cannot be opened or is not a readable database.
  SqliteConnection(const std::string& path, bool create);
  ~SqliteConnection() override;
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  DialectKind dialectKind() const override { return DialectKind::Sqlite; }
  std::string describe() const override { return description_; }
  void execute(const Statement& s) override;
  bool tryExecute(const Statement& s) override;
  std::unique_ptr<ResultSet> query(const Statement& s) override;
  int64_t insertReturningKey(std::string_view table, const Row& row, std::string_view keyColumn) override;
  // Runs of inserts of one shape go in as one multi-row insert.
  std::vector<bool> tryExecuteEach(const std::vector<Statement>& statements) override;
  void setBusyWait(const BusyWait& wait) override { busyWait_ = wait; }
  // Through SQLite's pre-update hook, where the library has it.
  std::unique_ptr<InsertCapture> captureInserts(const std::vector<CapturedTable>& tables) override;

  struct FinalizeStatement {
    void operator()(sqlite3_stmt* stmt) const;
  };
  using StatementHandle = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

 private:
  struct CloseDatabase {
    void operator()(sqlite3* db) const;
  };

  void begin() override;
  void commit() override;
  void rollback() override;
  void savepoint(const char* name) override;
  void releaseSavepoint(const char* name) override;
  void rollbackToSavepoint(const char* name) override;

  // Opens the file into db_; throws DbError when it cannot.
  void open(const std::string& path, bool create);
  // SQLite's busy handler: true to try the locked statement again.
  static int onBusy(void* self, int tries);
  bool waitOnceMore(int tries);

  StatementHandle prepare(const std::string& text, const Statement& forMessages);
  sqlite3_stmt* cached(const std::string& text, const Statement& forMessages);
  // Binds every value. With `keep`, texts are bound without a copy, the
  // converted ones kept there and plain ASCII ones straight from `s`: only
  // for statements stepped to their end, while `s` lives, before the next bind.
  void bindAll(sqlite3_stmt* stmt, const Statement& s, std::vector<std::string>* keep = nullptr);
  // Binds one value at `index` (from 1), without a copy when `keep` is
  // given (as bindAll).
  void bindValue(sqlite3_stmt* stmt, int index, const Value& v, std::string* keep);
  // The insert of `rows` rows of the shape, prepared once; null when the
  // text is no plain insert.
  sqlite3_stmt* multiRowInsert(const Statement& shape, std::size_t rows);
  // Whether `s` can go into one insert with a run whose widest statement is
  // `widest`: the same text, or plain inserts into one table whose column
  // lists differ only by trailing columns that are null where an insert
  // leaves them out. The rows keep their order, and so the keys they get.
  bool joins(const Statement& widest, const Statement& s);
  // Whether table.column is null where an insert leaves it out. Kept while
  // a transaction holds the table.
  bool nullByDefault(const std::string& table, const std::string& column);
  // statements[first, end) as one insert of `shape`'s text, the widest of
  // them; shorter rows get null in the columns they leave out. False when
  // the text is no plain insert or the database refused it (nothing is
  // stored then); throws TransactionLost.
  bool tryInsertRows(const std::vector<Statement>& statements, std::size_t first, std::size_t end,
                     const Statement& shape);
  // The prepared insert of `row` into `table`, with the key read back
  // unless it is the rowid.
  sqlite3_stmt* rowInsertPrepared(std::string_view table, const Row& row, std::string_view keyColumn, bool isRowid);
  // Binds the row's values, whole-number decimals as integers, texts kept as bindAll does.
  void bindRow(sqlite3_stmt* stmt, const Row& row);
  void runToEnd(sqlite3_stmt* stmt, const Statement& s);
  void runPlain(const std::string& sql);
  // Whether table.keyColumn is an autoincrement rowid, so that a new row's
  // key is the rowid SQLite reports. Kept while a transaction holds the table.
  bool keyIsRowid(std::string_view table, std::string_view keyColumn);
  // Forgets what was read of the tables' keys and defaults.
  void forgetSchema();
  [[noreturn]] void fail(const char* what, const Statement& s) const;
  // Throws TransactionLost when SQLite has rolled back the open transaction.
  void throwIfTransactionLost(const DbError& e);

  // The capture open on this connection, told of every row change and of
  // what undoes rows: a failed statement, a savepoint rolled back to, a
  // rollback.
  friend class SqliteCapture;
  // Steps `stmt` once; a failed step undoes what it had captured, as SQLite undoes the statement.
  int stepCaptured(sqlite3_stmt* stmt);

  // The most rows one insert takes, so a cell of many lines does not make
  // a statement of as many variables.
  static constexpr std::size_t kRowsPerInsert = 32;

  // Declared first, so that it closes after every statement is finalized.
  std::unique_ptr<sqlite3, CloseDatabase> db_;
  std::string description_;
  std::unordered_map<std::string, StatementHandle> preparedByText_;
  struct MultiRowInserts {
    bool plain = false;                    // the statement is a plain insert of one row
    std::vector<StatementHandle> byRows;  // by row count, null until first used
  };
  std::unordered_map<std::string, MultiRowInserts> multiRowByText_;  // by the one-row text
  bool inTransaction_ = false;
  std::unordered_map<std::string, bool> keyIsRowid_;     // by "table.column"
  std::unordered_map<std::string, bool> nullByDefault_;  // by "table.column"
  std::vector<std::string> boundTexts_;  // texts of the statement being run
  std::string rowText_;                  // the text of the last row insert, its storage reused
  BusyWait busyWait_;
  std::chrono::steady_clock::time_point busySince_;  // when the current wait began
  bool busyToldWaiting_ = false;                     // `waiting` called for the current wait
  SqliteCapture* capture_ = nullptr;                 // the open capture, owned by its caller
};

}  // namespace gz::db
