#include "db/sqlite_capture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "db/sql_values.h"
#include "db/sqlite_connection.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::db {

SqliteCapture::SqliteCapture(SqliteConnection& conn, bool utf8) : conn_(&conn), utf8_(utf8) {}

SqliteCapture::~SqliteCapture() {
  if (!conn_) return;
  conn_->capture_ = nullptr;
#ifdef SQLITE_ENABLE_PREUPDATE_HOOK
  sqlite3_preupdate_hook(conn_->db_.get(), nullptr, nullptr);
#endif
}

void SqliteCapture::addTable(const CapturedTable& t, std::vector<std::string> columns) {
  Table& table = tables_.emplace_back();
  table.name = t.table;
  const auto at = [&](const std::string& name) {
    const auto it = std::find(columns.begin(), columns.end(), text::asciiLower(name));
    return it == columns.end() ? -1 : static_cast<int>(it - columns.begin());
  };
  table.keyAt = at(t.keyColumn);
  table.ownerAt = at(t.ownerColumn);
  table.columns = std::move(columns);
  table.usable = table.keyAt >= 0 && table.ownerAt >= 0;
  if (table.usable) readSchema(table);
  table.complete = table.usable;
}

// What the schema says of the table's columns. A table without rowid is
// never handed over by the hook: its rows are read back. In a strict table,
// with generated columns or with triggers the values are left to SQLite.
void SqliteCapture::readSchema(Table& t) {
  try {
    SqliteConnection& c = *conn_;
    const auto list = c.query({"select wr, strict from pragma_table_list where name=? collate nocase", {t.name}});
    if (!list->next()) return;
    if (list->integer("wr") != 0) {
      t.usable = false;
      return;
    }
    // A strict table's ANY column keeps a value as bound, unlike the same type elsewhere.
    if (list->integer("strict") != 0) return;
    triggers_ = c.query({"select 1 from sqlite_master where type='trigger' limit 1", {}})->next();
    const auto info =
        c.query({"select name, type, dflt_value is null as no_default, pk, hidden "
                 "from pragma_table_xinfo(?) order by cid",
                 {t.name}});
    int keys = 0, hidden = 0, integerKey = -1;
    for (std::size_t i = 0; info->next(); ++i) {
      t.affinity.push_back(affinityOfType(info->text("type")));
      t.nullWhenLeftOut.push_back(info->integer("no_default") != 0);
      hidden += info->integer("hidden") != 0;
      if (info->integer("pk") == 0) continue;
      ++keys;
      if (text::asciiLower(info->text("type")) == "integer") integerKey = static_cast<int>(i);
    }
    // An "integer primary key" is the rowid unless it has an index of its own (declared DESC).
    const bool ownIndex = c.query({"select 1 from pragma_index_list(?) where origin='pk'", {t.name}})->next();
    if (keys == 1 && integerKey >= 0 && !ownIndex) t.rowidAt = integerKey;
    t.told = hidden == 0 && t.affinity.size() == t.columns.size();
  } catch (const DbError&) {
    t.told = false;  // an older SQLite without these pragmas: its values are read as stored
  }
}

std::vector<InsertCapture::Taken> SqliteCapture::take() {
  std::vector<Taken> out;
  for (Table& t : tables_) {
    out.push_back({t.complete, t.columns, std::move(t.rows)});
    t.rows.clear();
    t.complete = t.usable;
  }
  log_.clear();
  for (auto& [name, mark] : savepoints_) mark = 0;
  return out;
}

const SqliteCapture::Shape* SqliteCapture::newShape(sqlite3_stmt* stmt, std::string_view table,
                                                    const std::vector<std::string_view>& names) {
  Shape& shape = shapes_[stmt];
  const Table* t = find(std::string(table).c_str());
  if (!t || !t->told) return &shape;
  shape.table = static_cast<std::size_t>(t - tables_.data());
  shape.columns.assign(t->columns.size(), {});
  for (std::size_t v = 0; v < names.size(); ++v) {
    const auto it = std::find(t->columns.begin(), t->columns.end(), text::asciiLower(names[v]));
    if (it == t->columns.end()) return &shape;
    shape.columns[static_cast<std::size_t>(it - t->columns.begin())].value = static_cast<int>(v);
  }
  for (std::size_t i = 0; i < shape.columns.size(); ++i) {
    Shape::Column& c = shape.columns[i];
    const int at = static_cast<int>(i);
    c.affinity = t->affinity[i];
    c.plain = c.value >= 0 && at != t->keyAt && at != t->ownerAt && at != t->rowidAt;
  }
  shape.told = true;
  return &shape;
}

void SqliteCapture::expect(sqlite3_stmt* stmt, const InsertInto& into, const Statement* rows, std::size_t count) {
  expected_ = nullptr;
  if (triggers_ || into.columns.empty()) return;
  const Shape* shape = shapeOf(stmt);
  if (!shape) {
    names_.assign(into.columns.begin(), into.columns.end());
    shape = newShape(stmt, into.table, names_);
  }
  expected_ = shape->told ? shape : nullptr;
  expectedRows_ = rows;
  expectedRow_ = nullptr;
  expectedCount_ = count;
  expectedNext_ = 0;
  wholeAsInteger_ = false;
}

void SqliteCapture::expect(sqlite3_stmt* stmt, std::string_view table, const Row& row) {
  expected_ = nullptr;
  if (triggers_ || row.columns().empty()) return;
  const Shape* shape = shapeOf(stmt);
  if (!shape) {
    names_.clear();
    for (const auto& [name, value] : row.columns()) names_.push_back(name);
    shape = newShape(stmt, table, names_);
  }
  expected_ = shape->told ? shape : nullptr;
  expectedRows_ = nullptr;
  expectedRow_ = &row;
  expectedCount_ = 1;
  expectedNext_ = 0;
  wholeAsInteger_ = true;
}

#ifdef SQLITE_ENABLE_PREUPDATE_HOOK
void SqliteCapture::onChange(void* self, sqlite3* db, int op, const char* database, const char* table,
                             sqlite3_int64 /*oldKey*/, sqlite3_int64 newKey) {
  auto* c = static_cast<SqliteCapture*>(self);
  if (std::strcmp(database, "main") != 0 && sqlite3_stricmp(database, "main") != 0) return;
  Table* t = c->expectedTable(table);
  if (!t) t = c->find(table);
  if (!t || !t->complete) return;
  // A row deleted or changed may be one kept: the table is read instead.
  if (op != SQLITE_INSERT) t->complete = false;
  else c->inserted(db, *t, newKey);
}
#endif

void SqliteCapture::undoTo(std::size_t mark) {
  while (log_.size() > mark) {
    tables_[log_.back()].rows.pop_back();
    log_.pop_back();
  }
}

void SqliteCapture::savepointReleased(const char* name) {
  if (const auto it = latest(name); it != savepoints_.end()) savepoints_.erase(it, savepoints_.end());
}

void SqliteCapture::rolledBackTo(const char* name) {
  const auto it = latest(name);
  if (it == savepoints_.end()) return;
  undoTo(it->second);
  savepoints_.erase(it + 1, savepoints_.end());
}

void SqliteCapture::transactionEnded() {
  take();
  savepoints_.clear();
}

std::vector<std::pair<std::string, std::size_t>>::iterator SqliteCapture::latest(const char* name) {
  for (auto it = savepoints_.end(); it != savepoints_.begin();)
    if (sqlite3_stricmp((--it)->first.c_str(), name) == 0) return it;
  return savepoints_.end();
}

// The table the stepping statement inserts into, when it is `table`: most
// rows come so.
SqliteCapture::Table* SqliteCapture::expectedTable(const char* table) {
  if (!expected_) return nullptr;
  Table& t = tables_[expected_->table];
  return std::strcmp(t.name.c_str(), table) == 0 ? &t : nullptr;
}

// The table met last first: a statement inserts many rows into one table.
// Names are compared as written first, which is how they nearly always come.
SqliteCapture::Table* SqliteCapture::find(const char* table) {
  if (last_ < tables_.size() && (std::strcmp(tables_[last_].name.c_str(), table) == 0 ||
                                 sqlite3_stricmp(tables_[last_].name.c_str(), table) == 0))
    return &tables_[last_];
  for (std::size_t i = 0; i < tables_.size(); ++i)
    if (sqlite3_stricmp(tables_[i].name.c_str(), table) == 0) return &tables_[last_ = i];
  return nullptr;
}

#ifdef SQLITE_ENABLE_PREUPDATE_HOOK
void SqliteCapture::inserted(sqlite3* db, Table& t, int64_t rowid) {
  KeptRow kept(t);
  if (!fromBound(t, rowid, kept)) {
    kept = KeptRow(t);
    if (!fromStored(db, t, kept)) {
      t.complete = false;
      return;
    }
  }
  if (!kept.key) {
    t.complete = false;
    return;
  }
  t.rows.push_back({*kept.key, kept.owner, kept.digest.value()});
  log_.push_back(static_cast<uint8_t>(&t - tables_.data()));
}

// The row's values from those bound for it: the statement's next row, each
// column's value as its affinity stores it, the rowid as SQLite gave it.
// False where any value is not told so; the row is then read as stored.
bool SqliteCapture::fromBound(const Table& t, int64_t rowid, KeptRow& kept) {
  if (!expected_ || &tables_[expected_->table] != &t) return false;
  const std::size_t row = expectedNext_++;
  if (row >= expectedCount_) return false;
  const std::vector<Shape::Column>& columns = expected_->columns;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const Shape::Column& c = columns[i];
    const Value* bound = c.value < 0 ? nullptr : boundValue(row, c.value);
    if (c.plain && bound && digestAsBound(*bound, c.affinity, kept.digest)) continue;
    if (static_cast<int>(i) == t.rowidAt) kept.take(i, {StoredValue::Kind::Whole, rowid, 0, {}});
    else if (c.value < 0) {
      if (!t.nullWhenLeftOut[i]) return false;
      kept.take(i, {});
    } else if (!bound) {
      kept.take(i, {});  // a shorter row's column left null
    } else if (const std::optional<StoredValue> stored = storedFormOf(*bound, c.affinity)) {
      kept.take(i, *stored);
    } else {
      return false;
    }
  }
  return true;
}

// Most values are digested straight away, as storedForm() tells them: a
// text into a text column or a whole number into an integer one as bound;
// a date as its ISO text, which never reads as a number; a decimal number
// below 10^15 into any column but a text one, stored as that number or as
// the same whole number (bound so, or made so by the column), which digest
// alike.
bool SqliteCapture::digestAsBound(const Value& bound, Affinity affinity, RowDigest& digest) {
  constexpr double kPlainDecimal = 1e15;
  if (const std::string* text = std::get_if<std::string>(&bound); text && affinity == Affinity::Text) {
    digest.addText(*text);
    return true;
  }
  if (const int64_t* whole = std::get_if<int64_t>(&bound); whole && affinity == Affinity::Integer) {
    digest.addWhole(*whole);
    return true;
  }
  if (const double* d = std::get_if<double>(&bound); d && affinity != Affinity::Text && std::fabs(*d) < kPlainDecimal) {
    digest.addDecimal(*d);
    return true;
  }
  if (const Date* date = std::get_if<Date>(&bound); date && hasPlainIsoDate(*date)) {
    char iso[text::kIsoDateChars];
    digest.addText({iso, text::writeIsoDateDigits(iso, date->year, date->month, date->day)});
    return true;
  }
  return false;
}

// A text's stored form views the bound text itself; a number or a date is
// converted here, as it was bound.
std::optional<StoredValue> SqliteCapture::storedFormOf(const Value& bound, Affinity affinity) {
  if (!wholeAsInteger_ || !std::holds_alternative<double>(bound)) return storedForm(bound, affinity, scratch_);
  return storedForm(wholeNumberAsInteger(bound), affinity, scratch_);
}

bool SqliteCapture::fromStored(sqlite3* db, const Table& t, KeptRow& kept) {
  if (sqlite3_preupdate_count(db) != static_cast<int>(t.columns.size())) return false;
  for (int i = 0; i < static_cast<int>(t.columns.size()); ++i) {
    sqlite3_value* v = nullptr;
    if (sqlite3_preupdate_new(db, i, &v) != SQLITE_OK || !v) return false;
    kept.take(static_cast<std::size_t>(i), stored(v));
  }
  return true;
}

// The value as a query reads it: blobs as their bytes, texts converted to
// GB 18030 unless plain ASCII. Valid until the next call.
StoredValue SqliteCapture::stored(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return {StoredValue::Kind::Whole, sqlite3_value_int64(v), 0, {}};
    case SQLITE_FLOAT: return {StoredValue::Kind::Decimal, 0, sqlite3_value_double(v), {}};
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const char*>(sqlite3_value_blob(v));
      return {StoredValue::Kind::Bytes, 0, 0,
              std::string_view(bytes ? bytes : "", static_cast<std::size_t>(sqlite3_value_bytes(v)))};
    }
    default: break;
  }
  // In a UTF-8 database a text's bytes are its UTF-8 as they stand: taken
  // without the copy SQLite makes to end them with a zero.
  const auto* p = static_cast<const char*>(utf8_ ? sqlite3_value_blob(v) : sqlite3_value_text(v));
  const std::string_view utf8(p ? p : "", static_cast<std::size_t>(sqlite3_value_bytes(v)));
  if (text::isAscii(utf8)) return {StoredValue::Kind::Text, 0, 0, utf8};
  scratch_ = text::utf8ToGb18030(utf8);
  return {StoredValue::Kind::Text, 0, 0, scratch_};
}
#endif

std::unique_ptr<InsertCapture> SqliteConnection::captureInserts(const std::vector<CapturedTable>& tables) {
#ifdef SQLITE_ENABLE_PREUPDATE_HOOK
  constexpr std::size_t kMostTables = 255;
  if (capture_ || tables.size() > kMostTables) return nullptr;
  bool utf8 = false;
  try {
    const std::unique_ptr<ResultSet> encoding = query({"pragma encoding", {}});
    utf8 = encoding->next() && encoding->text("encoding") == "UTF-8";
  } catch (const DbError&) {
    // Texts are then read as SQLite converts them.
  }
  auto c = std::make_unique<SqliteCapture>(*this, utf8);
  for (const CapturedTable& t : tables) {
    // The columns as a query of all of them names them, the order the hook hands values in.
    std::vector<std::string> columns;
    try {
      const std::unique_ptr<ResultSet> all = query({"select * from \"" + t.table + "\"", {}});
      columns = all->columnNames();
    } catch (const DbError&) {
      // A table that is not there is never complete; its rows are read, and the read says why.
    }
    c->addTable(t, std::move(columns));
  }
  capture_ = c.get();
  sqlite3_preupdate_hook(db_.get(), &SqliteCapture::onChange, c.get());
  return c;
#else
  (void)tables;
  return nullptr;
#endif
}

}  // namespace gz::db
