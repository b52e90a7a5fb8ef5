#include "db/sqlite_connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

#include "db/database_text.h"
#include "db/sql_values.h"
#include "db/sqlite_capture.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::db {

namespace {

// The kind of an SQLite failure from its extended result code. SQLite gives
// one code (SQLITE_ERROR) for every statement it cannot prepare; a missing
// table or column is told apart by SQLite's own words, which are fixed.
DbFault sqliteFault(int code, std::string_view message) {
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return DbFault::Busy;
    case SQLITE_FULL:
    case SQLITE_NOMEM: return DbFault::OutOfResources;
    case SQLITE_READONLY: return DbFault::ReadOnly;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PROTOCOL: return DbFault::ConnectionLost;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return DbFault::NotADatabase;
    case SQLITE_MISUSE:
    case SQLITE_RANGE: return DbFault::Misuse;
    case SQLITE_ERROR:
      if (message.find("no such table") != std::string_view::npos) return DbFault::MissingTable;
      if (message.find("no such column") != std::string_view::npos ||
          message.find("has no column named") != std::string_view::npos)
        return DbFault::MissingColumn;
      return DbFault::Refused;
    default: return DbFault::Refused;  // constraints, types, ...
  }
}

// A wait shorter than this passes unmentioned: two writers meeting for a
// moment is normal. The sleep between tries keeps the wait cheap.
constexpr std::chrono::milliseconds kBusyQuietFor{300};
constexpr int kBusySleepMs = 20;

DbFault lastFault(sqlite3* db) { return sqliteFault(sqlite3_extended_errcode(db), sqlite3_errmsg(db)); }

// "(?,?,?)" for three values.
std::string valuesList(std::size_t marks) {
  std::string list = "(?";
  for (std::size_t i = 1; i < marks; ++i) list += ",?";
  return list + ")";
}

// The text of an sqlite3_exec failure, freed by SQLite's own allocator.
struct SqliteFree {
  void operator()(char* p) const { sqlite3_free(p); }
};
using SqliteMessage = std::unique_ptr<char, SqliteFree>;

// Runs `sql` that returns no rows; on failure says why (SQLite's text).
int execPlain(sqlite3* db, const char* sql, std::string* why) {
  char* raw = nullptr;
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &raw);
  const SqliteMessage error(raw);
  if (rc != SQLITE_OK && why) *why = error ? error.get() : sqlite3_errmsg(db);
  return rc;
}

class SqliteResultSet final : public ResultSet {
 public:
  SqliteResultSet(sqlite3* db, SqliteConnection::StatementHandle stmt, std::string context)
      : db_(db), owned_(std::move(stmt)), stmt_(owned_.get()), context_(std::move(context)) {
    const int n = sqlite3_column_count(stmt_);
    for (int i = 0; i < n; ++i) names_.push_back(text::asciiLower(sqlite3_column_name(stmt_, i)));
  }

  bool next() override {
    if (done_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    done_ = true;
    if (rc != SQLITE_DONE) throw DbError(lastFault(db_), context_ + ": 读取查询结果失败: " + sqlite3_errmsg(db_));
    return false;
  }
  int64_t integer(const char* column) const override {
    const int i = index(column);
    return sqlite3_column_type(stmt_, i) == SQLITE_NULL ? 0 : sqlite3_column_int64(stmt_, i);
  }
  std::string text(const char* column) const override {
    const int i = index(column);
    switch (sqlite3_column_type(stmt_, i)) {
      case SQLITE_NULL: return {};
      case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(stmt_, i));
      case SQLITE_FLOAT: return text::formatNumber(sqlite3_column_double(stmt_, i));
      default: return columnText(i);
    }
  }
  Value value(const char* column) const override { return valueAt(index(column)); }
  Value valueAt(int i) const override {
    switch (sqlite3_column_type(stmt_, i)) {
      case SQLITE_NULL: return std::monostate{};
      case SQLITE_INTEGER: return int64_t(sqlite3_column_int64(stmt_, i));
      case SQLITE_FLOAT: return sqlite3_column_double(stmt_, i);
      case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, i));
        return Blob{std::string(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)))};
      }
      default: return columnText(i);
    }
  }
  std::vector<std::string> columnNames() const override { return names_; }

 private:
  std::string columnText(int i) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return text::utf8ToGb18030(std::string_view(p ? p : "", sqlite3_column_bytes(stmt_, i)));
  }
  int index(const char* column) const {
    const std::string wanted = text::asciiLower(column);
    const auto it = std::find(names_.begin(), names_.end(), wanted);
    if (it == names_.end()) throw DbError(DbFault::MissingColumn, context_ + ": 查询结果中没有列 " + column);
    return static_cast<int>(it - names_.begin());
  }

  sqlite3* db_;
  SqliteConnection::StatementHandle owned_;
  sqlite3_stmt* stmt_;  // owned_'s
  std::string context_;
  std::vector<std::string> names_;
  bool done_ = false;
};

}  // namespace

int SqliteConnection::stepCaptured(sqlite3_stmt* stmt) {
  const std::size_t mark = capture_ ? capture_->mark() : 0;
  const int rc = sqlite3_step(stmt);
  if (capture_) {
    capture_->stepped();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) capture_->undoTo(mark);
  }
  return rc;
}

void SqliteConnection::CloseDatabase::operator()(sqlite3* db) const {
  // Result sets still open finish the close when they are destroyed.
  sqlite3_close_v2(db);
}

void SqliteConnection::FinalizeStatement::operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }

SqliteConnection::SqliteConnection(const std::string& path, bool create) : description_("SQLite 数据库 " + path) {
  // SQLite's memory statistics take a global lock on every allocation; the
  // program never reads them. (Ignored if SQLite was already initialised.)
  static std::once_flag configureOnce;
  std::call_once(configureOnce, [] { sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); });
  open(path, create);
  sqlite3_extended_result_codes(db_.get(), 1);
  sqlite3_busy_handler(db_.get(), &SqliteConnection::onBusy, this);
  // A whole import runs in one transaction; a page cache of 64 MiB keeps its
  // changed pages in memory until the commit instead of spilling them early.
  execPlain(db_.get(), "pragma cache_size=-65536", nullptr);
  // Reading the schema fails at once on a file that only looks like SQLite.
  std::string why;
  if (execPlain(db_.get(), "select count(*) from sqlite_master", &why) != SQLITE_OK) {
    const DbFault fault = lastFault(db_.get());
    // A locked file is busy; anything else that stops the schema being read is damage.
    throw DbError(fault == DbFault::Busy ? fault : DbFault::NotADatabase, "数据库文件已损坏: " + path + ": " + why);
  }
}

void SqliteConnection::open(const std::string& path, bool create) {
  // Without SQLITE_OPEN_CREATE a missing file is an error, never a new database.
  // One connection object is used by one thread at a time: no mutex needed.
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  db_.reset(raw);  // SQLite hands out a handle even when the open fails
  if (rc == SQLITE_OK) return;
  const std::string why = db_ ? sqlite3_errmsg(db_.get()) : "out of memory";
  const DbFault fault = db_ ? lastFault(db_.get()) : DbFault::OutOfResources;
  throw DbError(fault == DbFault::NotADatabase ? fault : DbFault::CannotConnect,
                "无法打开 " + description_ + ": " + why);
}

int SqliteConnection::onBusy(void* self, int tries) {
  return static_cast<SqliteConnection*>(self)->waitOnceMore(tries) ? 1 : 0;
}

bool SqliteConnection::waitOnceMore(int tries) {
  const auto now = std::chrono::steady_clock::now();
  if (tries == 0) {
    busySince_ = now;
    busyToldWaiting_ = false;
  }
  const auto waited = now - busySince_;
  if (waited >= busyWait_.limit) return false;
  if (!busyToldWaiting_ && waited >= kBusyQuietFor && busyWait_.waiting) {
    busyToldWaiting_ = true;
    try {
      busyWait_.waiting();
    } catch (...) {
      // Telling about the wait must not end it; nothing may pass through SQLite.
    }
  }
  sqlite3_sleep(kBusySleepMs);
  return true;
}

SqliteConnection::~SqliteConnection() {
  if (capture_) capture_->connectionClosed();
  if (inTransaction_) execPlain(db_.get(), "rollback", nullptr);
}

void SqliteConnection::fail(const char* what, const Statement& s) const {
  throw DbError(lastFault(db_.get()), description_ + ": " + what + ": " + sqlite3_errmsg(db_.get()),
                s.text.empty() ? std::string() : text::gb18030ToUtf8(renderStatement(s)));
}

SqliteConnection::StatementHandle SqliteConnection::prepare(const std::string& text, const Statement& forMessages) {
  const std::string sql = databaseUtf8(text);
  sqlite3_stmt* raw = nullptr;
  const int rc = sqlite3_prepare_v2(db_.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
  StatementHandle stmt(raw);
  if (rc != SQLITE_OK) fail("语句准备失败", forMessages);
  if (!stmt) throw DbError(DbFault::Misuse, description_ + ": 空语句", text::gb18030ToUtf8(text));
  return stmt;
}

sqlite3_stmt* SqliteConnection::cached(const std::string& text, const Statement& forMessages) {
  const auto it = preparedByText_.find(text);
  if (it != preparedByText_.end()) return it->second.get();
  return preparedByText_.emplace(text, prepare(text, forMessages)).first->second.get();
}

void SqliteConnection::bindValue(sqlite3_stmt* stmt, int index, const Value& v, std::string* keep) {
  const int rc = std::visit(
      [stmt, index, keep](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) return sqlite3_bind_null(stmt, index);
        else if constexpr (std::is_same_v<T, int64_t>) return sqlite3_bind_int64(stmt, index, x);
        else if constexpr (std::is_same_v<T, double>) return sqlite3_bind_double(stmt, index, x);
        else if constexpr (std::is_same_v<T, Blob>)
          return sqlite3_bind_blob64(stmt, index, x.bytes.data(), x.bytes.size(),
                                     keep ? SQLITE_STATIC : SQLITE_TRANSIENT);
        else {
          // Texts are stored as UTF-8, dates as ISO text. Plain ASCII is the
          // same in both encodings: bound as it stands, without a copy where
          // the value outlives the statement's run.
          if constexpr (std::is_same_v<T, std::string>)
            if (text::isAscii(x))
              return sqlite3_bind_text(stmt, index, x.data(), static_cast<int>(x.size()),
                                       keep ? SQLITE_STATIC : SQLITE_TRANSIENT);
          std::string utf8;
          if constexpr (std::is_same_v<T, std::string>) utf8 = databaseUtf8(x);
          else utf8 = isoDate(x);
          if (!keep)
            return sqlite3_bind_text(stmt, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
          *keep = std::move(utf8);
          return sqlite3_bind_text(stmt, index, keep->data(), static_cast<int>(keep->size()), SQLITE_STATIC);
        }
      },
      v);
  if (rc != SQLITE_OK)
    throw DbError(lastFault(db_.get()), description_ + ": 绑定参数失败: " + sqlite3_errmsg(db_.get()));
}

void SqliteConnection::bindAll(sqlite3_stmt* stmt, const Statement& s, std::vector<std::string>* keep) {
  if (static_cast<int>(s.binds.size()) != sqlite3_bind_parameter_count(stmt))
    throw DbError(DbFault::Misuse, description_ + ": 语句的参数个数不对", text::gb18030ToUtf8(renderStatement(s)));
  // Sized before any text is stored, so no kept text moves while bound.
  if (keep) keep->resize(s.binds.size());
  for (std::size_t i = 0; i < s.binds.size(); ++i) {
    try {
      bindValue(stmt, static_cast<int>(i + 1), s.binds[i], keep ? &(*keep)[i] : nullptr);
    } catch (const DbError& e) {
      throw DbError(e.fault(), e.what(), text::gb18030ToUtf8(renderStatement(s)));
    }
  }
}

void SqliteConnection::runToEnd(sqlite3_stmt* stmt, const Statement& s) {
  int rc;
  while ((rc = stepCaptured(stmt)) == SQLITE_ROW) {
  }
  sqlite3_reset(stmt);
  if (rc != SQLITE_DONE) fail("语句执行失败", s);
}

void SqliteConnection::execute(const Statement& s) {
  if (s.binds.empty()) {
    // One-off texts (schema, deletion) are prepared for this run only; one
    // may change a table whose keys or defaults are looked up.
    forgetSchema();
    const StatementHandle once = prepare(s.text, s);
    runToEnd(once.get(), s);
    return;
  }
  sqlite3_stmt* stmt = cached(s.text, s);
  bindAll(stmt, s, &boundTexts_);
  if (capture_ && s.into && s.into->columns.size() == s.binds.size()) capture_->expect(stmt, *s.into, &s, 1);
  runToEnd(stmt, s);
}

bool SqliteConnection::tryExecute(const Statement& s) {
  try {
    execute(s);
    return true;
  } catch (const DbError& e) {
    throwIfTransactionLost(e);
    if (endsTheWork(e.fault())) throw;
    return false;
  }
}

std::vector<bool> SqliteConnection::tryExecuteEach(const std::vector<Statement>& statements) {
  std::vector<bool> stored(statements.size(), false);
  for (std::size_t first = 0; first < statements.size();) {
    std::size_t widest = first;
    std::size_t end = first + 1;
    while (end < statements.size() && end - first < kRowsPerInsert && joins(statements[widest], statements[end])) {
      if (statements[end].binds.size() > statements[widest].binds.size()) widest = end;
      ++end;
    }
    if (end - first > 1 && tryInsertRows(statements, first, end, statements[widest])) {
      std::fill(stored.begin() + static_cast<std::ptrdiff_t>(first), stored.begin() + static_cast<std::ptrdiff_t>(end),
                true);
    } else {
      // One statement alone, or a run the database refused as a whole: each
      // on its own, so only the refused ones are dropped.
      for (std::size_t i = first; i < end; ++i) stored[i] = tryExecute(statements[i]);
    }
    first = end;
  }
  return stored;
}

bool SqliteConnection::joins(const Statement& widest, const Statement& s) {
  if (s.text == widest.text) return true;
  if (!s.into || !widest.into || s.binds.size() != s.into->columns.size() ||
      widest.binds.size() != widest.into->columns.size() || s.into->table != widest.into->table)
    return false;
  const InsertInto& narrower = s.binds.size() < widest.binds.size() ? *s.into : *widest.into;
  const InsertInto& wider = s.binds.size() < widest.binds.size() ? *widest.into : *s.into;
  if (!std::equal(narrower.columns.begin(), narrower.columns.end(), wider.columns.begin())) return false;
  for (std::size_t i = narrower.columns.size(); i < wider.columns.size(); ++i)
    if (!nullByDefault(wider.table, wider.columns[i])) return false;
  return true;
}

bool SqliteConnection::nullByDefault(const std::string& table, const std::string& column) {
  const std::string key = table + "." + column;
  auto it = nullByDefault_.find(key);
  if (it == nullByDefault_.end()) {
    // A column with no default that is neither a key (an integer key takes
    // the next rowid) nor generated is null where an insert leaves it out.
    bool plain = false;
    try {
      const std::unique_ptr<ResultSet> r =
          query({"select count(*) as plain from pragma_table_xinfo(?) where name=? collate nocase and "
                 "dflt_value is null and pk=0 and hidden=0",
                 {table, column}});
      plain = r->next() && r->integer("plain") == 1;
    } catch (const DbError&) {
      // A database that cannot say keeps its inserts apart.
    }
    it = nullByDefault_.emplace(key, plain).first;
  }
  const bool plain = it->second;
  // Outside a transaction another program may change the table meanwhile.
  if (!inTransaction_) nullByDefault_.clear();
  return plain;
}

sqlite3_stmt* SqliteConnection::multiRowInsert(const Statement& shape, std::size_t rows) {
  auto [it, added] = multiRowByText_.try_emplace(shape.text);
  MultiRowInserts& m = it->second;
  // A plain insert of one row stays one insert when its values list is repeated.
  if (added) m.plain = shape.into != nullptr && !shape.binds.empty();
  if (!m.plain) return nullptr;
  if (m.byRows.size() <= rows) m.byRows.resize(rows + 1);
  if (!m.byRows[rows]) {
    const std::string list = valuesList(shape.binds.size());
    std::string text = shape.text;
    for (std::size_t i = 1; i < rows; ++i) text.append(",").append(list);
    m.byRows[rows] = prepare(text, shape);
  }
  return m.byRows[rows].get();
}

bool SqliteConnection::tryInsertRows(const std::vector<Statement>& statements, std::size_t first, std::size_t end,
                                     const Statement& shape) {
  const std::size_t width = shape.binds.size();
  try {
    sqlite3_stmt* stmt = multiRowInsert(shape, end - first);
    if (!stmt) return false;
    boundTexts_.resize(width * (end - first));
    int index = 0;
    for (std::size_t i = first; i < end; ++i) {
      const std::vector<Value>& binds = statements[i].binds;
      if (binds.size() > width) return false;
      for (const Value& v : binds) {
        bindValue(stmt, index + 1, v, &boundTexts_[static_cast<std::size_t>(index)]);
        ++index;
      }
      // A shorter row's missing trailing columns are null, as they would be left out.
      for (std::size_t k = binds.size(); k < width; ++k) {
        bindValue(stmt, index + 1, std::monostate{}, nullptr);
        ++index;
      }
    }
    if (capture_) capture_->expect(stmt, *shape.into, &statements[first], end - first);
    runToEnd(stmt, shape);
    return true;
  } catch (const DbError& e) {
    throwIfTransactionLost(e);
    return false;
  }
}

std::unique_ptr<ResultSet> SqliteConnection::query(const Statement& s) {
  StatementHandle stmt = prepare(s.text, s);
  if (!s.binds.empty()) bindAll(stmt.get(), s);
  return std::make_unique<SqliteResultSet>(db_.get(), std::move(stmt), description_);
}

bool SqliteConnection::keyIsRowid(std::string_view table, std::string_view keyColumn) {
  const std::string key = std::string(table) + "." + std::string(keyColumn);
  auto it = keyIsRowid_.find(key);
  if (it == keyIsRowid_.end()) {
    // Only an "integer primary key" can be autoincrement, and such a key is
    // the rowid itself.
    int autoincrement = 0;
    const bool rowid =
        sqlite3_table_column_metadata(db_.get(), nullptr, std::string(table).c_str(), std::string(keyColumn).c_str(),
                                      nullptr, nullptr, nullptr, nullptr, &autoincrement) == SQLITE_OK &&
        autoincrement != 0;
    it = keyIsRowid_.emplace(key, rowid).first;
  }
  const bool rowid = it->second;
  // Outside a transaction another program may change the table meanwhile.
  if (!inTransaction_) keyIsRowid_.clear();
  return rowid;
}

sqlite3_stmt* SqliteConnection::rowInsertPrepared(std::string_view table, const Row& row, std::string_view keyColumn,
                                                  bool isRowid) {
  // The text is written into a kept buffer and looked up as it stands: the
  // full statement is built only the first time a shape is met.
  rowInsertText(table, row, description_, rowText_);
  if (!isRowid) rowText_.append(" returning ").append(keyColumn);
  if (const auto it = preparedByText_.find(rowText_); it != preparedByText_.end()) return it->second.get();
  Statement s = rowInsert(table, row, description_);
  s.text = rowText_;
  return cached(rowText_, s);
}

void SqliteConnection::bindRow(sqlite3_stmt* stmt, const Row& row) {
  boundTexts_.resize(row.columns().size());
  for (std::size_t i = 0; i < row.columns().size(); ++i) {
    const Value& v = row.columns()[i].second;
    // A whole-number decimal is bound as an integer; a number binds no text,
    // so the converted value need not outlive the statement's run.
    if (std::holds_alternative<double>(v)) bindValue(stmt, static_cast<int>(i + 1), wholeNumberAsInteger(v), nullptr);
    else bindValue(stmt, static_cast<int>(i + 1), v, &boundTexts_[i]);
  }
}

int64_t SqliteConnection::insertReturningKey(std::string_view table, const Row& row, std::string_view keyColumn) {
  // The key is read from the new row itself unless it is the rowid: the
  // rowid equals it only when it is declared "integer primary key", which a
  // database made elsewhere need not do.
  const bool isRowid = keyIsRowid(table, keyColumn);
  sqlite3_stmt* stmt = rowInsertPrepared(table, row, keyColumn, isRowid);
  // The whole statement is built only for a message.
  const auto asStatement = [&] {
    Statement s = rowInsert(table, row, description_);
    if (!isRowid) s.text.append(" returning ").append(keyColumn);
    return s;
  };
  try {
    bindRow(stmt, row);
  } catch (const DbError& e) {
    throw DbError(e.fault(), e.what(), text::gb18030ToUtf8(renderStatement(asStatement())));
  }
  if (capture_) capture_->expect(stmt, table, row);
  const int rc = stepCaptured(stmt);
  if (rc != (isRowid ? SQLITE_DONE : SQLITE_ROW)) {
    sqlite3_reset(stmt);
    try {
      fail("记录写入失败", asStatement());
    } catch (const DbError& e) {
      throwIfTransactionLost(e);
      throw;
    }
  }
  if (isRowid) {
    sqlite3_reset(stmt);
    return sqlite3_last_insert_rowid(db_.get());
  }
  const bool hasKey = sqlite3_column_type(stmt, 0) == SQLITE_INTEGER;
  const int64_t key = sqlite3_column_int64(stmt, 0);
  sqlite3_reset(stmt);
  if (!hasKey)
    throw DbError(DbFault::Unsupported,
                  description_ + ": " + std::string(table) + " 的 " + std::string(keyColumn) +
                      " 不是自动编号, 新记录没有得到编号",
                  text::gb18030ToUtf8(rowText_));
  return key;
}

void SqliteConnection::forgetSchema() {
  keyIsRowid_.clear();
  nullByDefault_.clear();
}

void SqliteConnection::runPlain(const std::string& sql) {
  std::string why;
  if (execPlain(db_.get(), sql.c_str(), &why) != SQLITE_OK)
    throw DbError(sqliteFault(sqlite3_extended_errcode(db_.get()), why), description_ + ": " + sql + " 失败: " + why,
                  sql);
}

void SqliteConnection::begin() {
  forgetSchema();
  runPlain("begin");
  inTransaction_ = true;
  if (capture_) capture_->transactionEnded();
}

void SqliteConnection::throwIfTransactionLost(const DbError& e) {
  // SQLite undoes only a failed statement, unless the failure made it roll
  // back the whole transaction: that loss must not pass as one refusal.
  if (inTransaction_ && sqlite3_get_autocommit(db_.get())) {
    inTransaction_ = false;
    if (capture_) capture_->transactionEnded();
    throw TransactionLost(description_ + ": 事务已被数据库撤销: " + e.what(), e.statement());
  }
}

void SqliteConnection::commit() {
  forgetSchema();
  runPlain("commit");
  inTransaction_ = false;
}

void SqliteConnection::rollback() {
  forgetSchema();
  inTransaction_ = false;
  if (!sqlite3_get_autocommit(db_.get())) runPlain("rollback");
  if (capture_) capture_->transactionEnded();
}

void SqliteConnection::savepoint(const char* name) {
  runPlain(std::string("savepoint ") + name);
  if (capture_) capture_->savepointSet(name);
}

void SqliteConnection::releaseSavepoint(const char* name) {
  runPlain(std::string("release savepoint ") + name);
  if (capture_) capture_->savepointReleased(name);
}

void SqliteConnection::rollbackToSavepoint(const char* name) {
  runPlain(std::string("rollback to savepoint ") + name);
  if (capture_) capture_->rolledBackTo(name);
}

}  // namespace gz::db
