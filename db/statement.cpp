#include "db/statement.h"

#include <type_traits>

#include "db/sql_values.h"
#include "text/bytes.h"

namespace gz::db {

namespace {

// "insert into table (a,b) values (?,?)".
std::string insertText(const InsertInto& into) {
  std::string text;
  text.reserve(into.table.size() + into.columns.size() * 8 + 32);
  text.append("insert into ").append(into.table).append(" (");
  for (std::size_t i = 0; i < into.columns.size(); ++i) text.append(i == 0 ? "" : ",").append(into.columns[i]);
  text.append(") values (");
  for (std::size_t i = 0; i < into.columns.size(); ++i) text.append(i == 0 ? "?" : ",?");
  text.append(")");
  return text;
}

}  // namespace

Statement insertStatement(std::shared_ptr<const InsertInto> into, std::vector<Value> values) {
  std::string text = insertText(*into);
  return {std::move(text), std::move(values), std::move(into)};
}

InsertShape::InsertShape(std::string table, std::vector<std::string> columns)
    : into_(std::make_shared<const InsertInto>(InsertInto{std::move(table), std::move(columns)})),
      text_(insertText(*into_)) {}

std::string literalText(const Value& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) return "null";
        else if constexpr (std::is_same_v<T, int64_t>) return std::to_string(x);
        else if constexpr (std::is_same_v<T, double>) return text::formatNumber(x);
        else if constexpr (std::is_same_v<T, std::string>) return "'" + doubleQuotes(x) + "'";
        else if constexpr (std::is_same_v<T, Blob>) return "X'" + byteaHex(x).substr(2) + "'";
        else return "'" + isoDate(x) + "'";
      },
      v);
}

std::string renderStatement(const Statement& s) {
  std::string out;
  std::size_t next = 0;
  for (char c : s.text) {
    if (c == '?' && next < s.binds.size()) out += literalText(s.binds[next++]);
    else out += c;
  }
  return out;
}

}  // namespace gz::db
