#include "db/payroll/whole_rows.h"

#include <string>
#include <variant>

#include "db/connection.h"
#include "db/sql_values.h"

namespace gz::db {

namespace {

const std::string& plainName(const std::string& name) {
  bool plain = !name.empty();
  for (const char ch : name)
    plain = plain && ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_');
  if (!plain) throw DbError(DbFault::Misuse, "不能用作列名: " + name);
  return name;
}

std::string plainTable(std::string_view table) { return plainName(std::string(table)); }

// A value as Jet reads it inside a statement: dates between #.
std::string jetLiteral(const Value& v) {
  if (const Date* d = std::get_if<Date>(&v)) return "#" + isoDate(*d) + "#";
  return literalText(v);
}

// Appends one value: written in, or as a placeholder with its bind.
void putValue(const WholeRows& how, const Value& v, Statement& s) {
  if (how.inlineValues) {
    s.text += jetLiteral(v);
    return;
  }
  s.text += "?";
  s.binds.push_back(v);
}

void putWhere(const WholeRows& how, const Row& match, Statement& s) {
  if (match.columns().empty()) throw DbError(DbFault::Misuse, "整行语句没有用来找行的列");
  s.text += " where ";
  bool first = true;
  for (const auto& [column, v] : match.columns()) {
    s.text += (first ? "" : " and ") + plainName(column);
    first = false;
    if (std::holds_alternative<std::monostate>(v)) {
      s.text += " is null";
      continue;
    }
    s.text += "=";
    putValue(how, v, s);
  }
}

// Whether `match` finds the row by `column` holding `v` already.
bool pinned(const Row& match, const std::string& column, const Value& v) {
  for (const auto& [name, m] : match.columns())
    if (name == column) return m == v;
  return false;
}

// " where column in (1,2,3)"
std::string whereIn(std::string_view column, const std::vector<int64_t>& values) {
  std::string list;
  for (const int64_t v : values) list += (list.empty() ? "" : ",") + std::to_string(v);
  return " where " + plainName(std::string(column)) + " in (" + list + ")";
}

}  // namespace

Statement WholeRows::selectIn(std::string_view table, std::string_view column,
                              const std::vector<int64_t>& values) const {
  return {"select * from " + plainTable(table) + whereIn(column, values), {}};
}

Statement WholeRows::deleteIn(std::string_view table, std::string_view column,
                              const std::vector<int64_t>& values) const {
  return {"delete from " + plainTable(table) + whereIn(column, values), {}};
}

Statement WholeRows::selectBetween(std::string_view table, std::string_view column, int64_t low, int64_t high) const {
  return {"select * from " + plainTable(table) + " where " + plainName(std::string(column)) + " between " +
              std::to_string(low) + " and " + std::to_string(high),
          {}};
}

Statement WholeRows::selectMatching(std::string_view table, const Row& match) const {
  Statement s{"select * from " + plainTable(table), {}};
  putWhere(*this, match, s);
  return s;
}

Statement WholeRows::deleteMatching(std::string_view table, const Row& match) const {
  Statement s{"delete from " + plainTable(table), {}};
  putWhere(*this, match, s);
  return s;
}

Statement WholeRows::insertWhole(std::string_view table, const Row& row) const {
  if (row.columns().empty()) throw DbError(DbFault::Misuse, "整行语句没有列");
  std::string names;
  for (const auto& [column, v] : row.columns()) names += (names.empty() ? "" : ",") + plainName(column);
  Statement s{"insert into " + plainTable(table) + " (" + names + ")" +
                  (overrideIdentity ? " overriding system value" : "") + " values (",
              {}};
  bool first = true;
  for (const auto& [column, v] : row.columns()) {
    if (!first) s.text += ",";
    first = false;
    putValue(*this, v, s);
  }
  s.text += ")";
  return s;
}

Statement WholeRows::updateMatching(std::string_view table, const Row& values, const Row& match) const {
  Statement s{"update " + plainTable(table) + " set ", {}};
  bool first = true;
  for (const auto& [column, v] : values.columns()) {
    // A column the row is found by keeps its value and is not written: a key
    // the database numbers itself (an identity column "generated always", an
    // auto-number) takes no value but its own.
    if (pinned(match, column, v)) continue;
    s.text += (first ? "" : ",") + plainName(column) + "=";
    first = false;
    putValue(*this, v, s);
  }
  if (first) throw DbError(DbFault::Misuse, "整行语句没有要写的列");
  putWhere(*this, match, s);
  return s;
}

}  // namespace gz::db
