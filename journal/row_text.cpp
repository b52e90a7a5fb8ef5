#include "journal/row_text.h"

#include <charconv>
#include <cstdio>
#include <variant>

#include "db/sql_values.h"
#include "journal/journal_error.h"

namespace gz::journal {

namespace {

std::string valueText(const db::Value& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) return "n";
        else if constexpr (std::is_same_v<T, int64_t>) return "i" + std::to_string(x);
        else if constexpr (std::is_same_v<T, double>) {
          char buf[40];
          std::snprintf(buf, sizeof buf, "%.17g", x);
          return std::string("f") + buf;
        } else if constexpr (std::is_same_v<T, std::string>) return "t" + std::to_string(x.size()) + ":" + x;
        else return "d" + db::isoDate(x);
      },
      v);
}

[[noreturn]] void damaged(std::string_view text) {
  throw JournalError(JournalFault::Damaged, "日志中的一行记录已损坏: " + std::string(text.substr(0, 60)));
}

// Reads digits up to `end` from `at`; damaged when there are none.
int64_t number(std::string_view text, std::size_t& at, char end) {
  const std::size_t stop = text.find(end, at);
  int64_t n = 0;
  if (stop == std::string_view::npos) damaged(text);
  const auto [p, ec] = std::from_chars(text.data() + at, text.data() + stop, n);
  if (ec != std::errc() || p != text.data() + stop) damaged(text);
  at = stop + 1;
  return n;
}

db::Value readValue(std::string_view text, std::size_t& at) {
  if (at >= text.size()) damaged(text);
  const char tag = text[at++];
  if (tag == 'n') {
    if (at >= text.size() || text[at] != ';') damaged(text);
    ++at;
    return std::monostate{};
  }
  if (tag == 'i') return number(text, at, ';');
  if (tag == 't') {
    const int64_t size = number(text, at, ':');
    if (size < 0 || at + size >= text.size() || text[at + size] != ';') damaged(text);
    std::string s(text.substr(at, size));
    at += size + 1;
    return s;
  }
  const std::size_t stop = text.find(';', at);
  if (stop == std::string_view::npos) damaged(text);
  const std::string piece(text.substr(at, stop - at));
  at = stop + 1;
  if (tag == 'f') return std::strtod(piece.c_str(), nullptr);
  if (tag == 'd')
    if (const auto d = db::parseDateText(piece)) return *d;
  damaged(text);
}

}  // namespace

std::string rowText(const db::Row& row) {
  std::string out;
  for (const auto& [name, v] : row.columns()) out += name + "=" + valueText(v) + ";";
  return out;
}

db::Row rowFromText(std::string_view text) {
  db::Row row;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t eq = text.find('=', at);
    if (eq == std::string_view::npos || eq == at) damaged(text);
    const std::string name(text.substr(at, eq - at));
    at = eq + 1;
    row.set(name, readValue(text, at));
  }
  return row;
}

}  // namespace gz::journal
