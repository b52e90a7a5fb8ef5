#include "db/statement.h"

#include <type_traits>

#include "db/sql_values.h"
#include "text/bytes.h"

namespace gz::db {

Statement insertStatement(std::shared_ptr<const InsertInto> into, std::vector<Value> values) {
  std::string text = "insert into " + into->table + " (";
  std::string marks;
  for (const std::string& column : into->columns) {
    text += (marks.empty() ? "" : ",") + column;
    marks += marks.empty() ? "?" : ",?";
  }
  text += ") values (" + marks + ")";
  return {std::move(text), std::move(values), std::move(into)};
}

std::string literalText(const Value& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) return "null";
        else if constexpr (std::is_same_v<T, int64_t>) return std::to_string(x);
        else if constexpr (std::is_same_v<T, double>) return text::formatNumber(x);
        else if constexpr (std::is_same_v<T, std::string>) return "'" + doubleQuotes(x) + "'";
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
