// Keeps the rows inserted into some tables as SQLite's pre-update hook hands
// them over: each as its key, its owner and the digest of its values as
// stored, after each column's affinity, so the same a later query reads
// back. Every kept row goes into one log in the order of their inserts;
// whatever SQLite undoes (a failed statement, a savepoint rolled back to, a
// rollback) is the log's tail from a mark on, dropped with it.
//
// A row's values are taken from the values the connection bound for it
// where the column's declared type says how SQLite stores them (most rows);
// else SQLite unpacks the row it stores and hands each value over.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "db/connection.h"
#include "db/row.h"
#include "db/row_digest.h"
#include "db/sqlite_stored_form.h"
#include "db/statement.h"

namespace gz::db {

class SqliteConnection;

class SqliteCapture final : public InsertCapture {
 public:
  SqliteCapture(SqliteConnection& conn, bool utf8);
  ~SqliteCapture() override;
  SqliteCapture(const SqliteCapture&) = delete;
  SqliteCapture& operator=(const SqliteCapture&) = delete;
  // The connection closes first: nothing is left to stop.
  void connectionClosed() { conn_ = nullptr; }

  // `columns` as `select *` names them; the rest is read from the schema.
  void addTable(const CapturedTable& t, std::vector<std::string> columns);
  std::vector<Taken> take() override;

  // The rows the next step of `stmt` inserts into `table`, in order: the
  // values of `count` statements from `rows` on, each a row of
  // `into.columns` (a shorter one's last columns null), or the row's, bound
  // with whole-number decimals as integers. Forgotten after the step.
  void expect(sqlite3_stmt* stmt, const InsertInto& into, const Statement* rows, std::size_t count);
  void expect(sqlite3_stmt* stmt, std::string_view table, const Row& row);
  void stepped() { expected_ = nullptr; }

#ifdef SQLITE_ENABLE_PREUPDATE_HOOK
  static void onChange(void* self, sqlite3* db, int op, const char* database, const char* table, sqlite3_int64 oldKey,
                       sqlite3_int64 newKey);
#endif

  std::size_t mark() const { return log_.size(); }
  void undoTo(std::size_t mark);
  void savepointSet(const char* name) { savepoints_.emplace_back(name, log_.size()); }
  // `release savepoint` ends the latest of that name and every one set after it.
  void savepointReleased(const char* name);
  // `rollback to savepoint` keeps the savepoint and ends the ones set after it.
  void rolledBackTo(const char* name);
  // A transaction begun, rolled back or lost: nothing inserted before counts.
  void transactionEnded();

 private:
  struct Table {
    std::string name;
    std::vector<std::string> columns;
    int keyAt = -1;
    int ownerAt = -1;
    bool usable = false;    // both columns found
    bool complete = false;  // every row the transaction inserted is kept
    std::vector<CapturedRow> rows;
    // Told from the bound values: each column's affinity, whether it is null
    // where an insert leaves it out, which is the rowid.
    bool told = false;
    std::vector<Affinity> affinity;
    std::vector<bool> nullWhenLeftOut;
    int rowidAt = -1;
  };
  // Where each column of a table takes its value in a statement's row.
  struct Shape {
    bool told = false;  // the rows' values can be told from the bound ones
    std::size_t table = 0;
    // Per column of the table: which of a row's values it takes (-1: left
    // out), how the column stores it, and whether it is only digested (not
    // the key, the owner or the rowid).
    struct Column {
      int value = -1;
      Affinity affinity = Affinity::Blob;
      bool plain = false;
    };
    std::vector<Column> columns;
  };

  void readSchema(Table& t);
  std::vector<std::pair<std::string, std::size_t>>::iterator latest(const char* name);
  Table* expectedTable(const char* table);
  Table* find(const char* table);
  // The statement's shape as met before, or null.
  const Shape* shapeOf(sqlite3_stmt* stmt) const {
    const auto it = shapes_.find(stmt);
    return it == shapes_.end() ? nullptr : &it->second;
  }
  // Works out and keeps the shape of a statement met the first time; not
  // told where its values cannot be (a table not kept or not told, a column
  // it does not have).
  const Shape* newShape(sqlite3_stmt* stmt, std::string_view table, const std::vector<std::string_view>& names);
#ifdef SQLITE_ENABLE_PREUPDATE_HOOK
  // A row's values as they are told, column by column: digested in order,
  // its key and owner kept as they pass.
  struct KeptRow {
    explicit KeptRow(const Table& t)
        : keyAt(static_cast<std::size_t>(t.keyAt)), ownerAt(static_cast<std::size_t>(t.ownerAt)) {}
    void take(std::size_t column, const StoredValue& v) {
      digest.add(v);
      if (column == keyAt) key = v.kind == StoredValue::Kind::Whole ? std::optional<int64_t>(v.whole) : std::nullopt;
      if (column != ownerAt) return;
      if (v.kind == StoredValue::Kind::Whole) owner = v.whole;
      else if (v.kind == StoredValue::Kind::Decimal) owner = static_cast<int64_t>(v.decimal);
    }
    std::size_t keyAt, ownerAt;
    RowDigest digest;
    std::optional<int64_t> key, owner;
  };
  void inserted(sqlite3* db, Table& t, int64_t rowid);
  // The value bound for column `v` of the statement's row `row`, or null.
  const Value* boundValue(std::size_t row, int v) const {
    if (expectedRow_) return &expectedRow_->columns()[static_cast<std::size_t>(v)].second;
    const std::vector<Value>& binds = expectedRows_[row].binds;
    return static_cast<std::size_t>(v) < binds.size() ? &binds[static_cast<std::size_t>(v)] : nullptr;
  }
  bool fromBound(const Table& t, int64_t rowid, KeptRow& kept);
  static bool digestAsBound(const Value& bound, Affinity affinity, RowDigest& digest);
  std::optional<StoredValue> storedFormOf(const Value& bound, Affinity affinity);
  bool fromStored(sqlite3* db, const Table& t, KeptRow& kept);
  StoredValue stored(sqlite3_value* v);
#endif

  SqliteConnection* conn_;  // null once the connection has closed
  std::vector<Table> tables_;  // few: a table's place in it fits the log's bytes
  std::vector<uint8_t> log_;   // the table of each kept row, in the order of their inserts
  std::vector<std::pair<std::string, std::size_t>> savepoints_;  // each open one's name and log size when set
  std::string scratch_;  // the value being kept, where it is converted
  std::size_t last_ = 0;                                         // the table met last
  bool utf8_ = false;                                            // the database's texts are UTF-8
  bool triggers_ = false;  // the database has triggers: an insert may insert other rows
  // The statement stepping now and its rows' values.
  const Shape* expected_ = nullptr;
  const Statement* expectedRows_ = nullptr;  // its rows' values: statements' binds,
  const Row* expectedRow_ = nullptr;         // or one row's
  std::size_t expectedCount_ = 0, expectedNext_ = 0;
  bool wholeAsInteger_ = false;  // whole-number decimals were bound as integers (a row's insert)
  std::vector<std::string_view> names_;  // a statement's column names, when its shape is new
  std::unordered_map<sqlite3_stmt*, Shape> shapes_;  // the connection keeps its prepared statements
};

}  // namespace gz::db
