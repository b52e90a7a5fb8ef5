#include "journal/rows.h"

#include <algorithm>

#include "db/payroll/dialect.h"
#include "db/payroll/person_columns.h"
#include "db/statement.h"

namespace gz::journal {

namespace {

// Ids per query, so that no statement grows past what a server takes.
constexpr std::size_t kIdsPerQuery = 500;
constexpr const char* kKey = "id";

const db::Value* find(const db::Row& row, const std::string& column) {
  for (const auto& [name, v] : row.columns())
    if (name == column) return &v;
  return nullptr;
}

void readInto(db::Connection& conn, const std::string& table, const std::string& column,
              const std::vector<int64_t>& ids, std::vector<TableRow>& out) {
  const db::WholeRows how = db::dialectOf(conn).wholeRows();
  for (std::size_t at = 0; at < ids.size(); at += kIdsPerQuery) {
    const std::vector<int64_t> part(ids.begin() + at, ids.begin() + std::min(ids.size(), at + kIdsPerQuery));
    for (db::Row& r : readRows(conn, how.selectIn(table, column, part))) out.push_back({table, std::move(r)});
  }
}

}  // namespace

std::vector<db::Row> readRows(db::Connection& conn, const db::Statement& query) {
  std::vector<db::Row> rows;
  const auto rs = conn.query(query);
  std::vector<std::string> names;
  while (rs->next()) {
    if (names.empty()) names = rs->columnNames();
    db::Row& row = rows.emplace_back();
    for (const std::string& name : names) row.set(name, rs->value(name.c_str()));
  }
  return rows;
}

std::vector<TableRow> readPeopleRows(db::Connection& conn, const std::vector<int64_t>& personIds) {
  std::vector<TableRow> out;
  if (personIds.empty()) return out;
  readInto(conn, db::person::kTable, kKey, personIds, out);
  for (const char* table : db::person::kPerPersonTables) readInto(conn, table, "mid", personIds, out);
  return out;
}

db::Row rowKey(const db::Row& row) {
  const db::Value* id = find(row, kKey);
  if (!id) return row;
  db::Row key;
  key.set(kKey, *id);
  return key;
}

std::string keyText(const db::Row& key) {
  std::string out;
  for (const auto& [name, v] : key.columns()) out += (out.empty() ? "" : ",") + name + "=" + db::literalText(v);
  return out;
}

std::optional<std::string> firstDifference(const db::Row& a, const db::Row& b) {
  for (const auto& [name, v] : a.columns()) {
    const db::Value* other = find(b, name);
    if (!other || !(*other == v)) return name;
  }
  for (const auto& [name, v] : b.columns())
    if (!find(a, name)) return name;
  return std::nullopt;
}

}  // namespace gz::journal
