#include "db/sql_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "db/connection.h"
#include "text/bytes.h"

namespace gz::db {

namespace {

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

}  // namespace

std::string doubleQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

bool isPlainNumber(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  const auto point = text.find('.');
  if (point == std::string_view::npos) return allDigits(text);
  return allDigits(text.substr(0, point)) && allDigits(text.substr(point + 1));
}

std::optional<Value> plainNumberValue(std::string_view text) {
  if (!isPlainNumber(text)) return std::nullopt;
  std::string_view digits = text.front() == '+' ? text.substr(1) : text;
  if (digits.find('.') == std::string_view::npos) {
    int64_t whole = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), whole);
    if (ec == std::errc() && end == digits.data() + digits.size()) return Value(whole);
  }
  double d = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), d);
  return Value(d);
}

std::optional<Date> parseDateText(std::string_view text) {
  // Three fields between two dashes; runs for every history line of an import.
  const auto first = text.find('-');
  if (first == std::string_view::npos) return std::nullopt;
  const auto second = text.find('-', first + 1);
  if (second == std::string_view::npos || text.find('-', second + 1) != std::string_view::npos) return std::nullopt;
  const std::string_view parts[3] = {text.substr(0, first), text.substr(first + 1, second - first - 1),
                                     text.substr(second + 1)};
  if (parts[0].size() != 4 || parts[1].size() > 2 || parts[2].size() > 2) return std::nullopt;
  int fields[3] = {};
  for (int i = 0; i < 3; ++i) {
    if (!allDigits(parts[i])) return std::nullopt;
    std::from_chars(parts[i].data(), parts[i].data() + parts[i].size(), fields[i]);
  }
  const Date d{fields[0], fields[1], fields[2]};
  if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month))
    return std::nullopt;
  return d;
}

Value wholeNumberAsInteger(const Value& v) {
  const double* d = std::get_if<double>(&v);
  if (!d || std::trunc(*d) != *d || !(std::fabs(*d) < 9.2e18)) return v;
  if (std::fabs(*d) < 1e15) return static_cast<int64_t>(*d);
  // A sheet keeps 15 significant digits; past them a double's exact value
  // has digits nobody typed (110101199003071234 is held as ...071008). The
  // integer is the 15 digits the sheet shows, then zeros: ...071000.
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.14e", *d);  // d.dddddddddddddde+XX
  int64_t n = 0;
  for (const char* p = buf; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') n = n * 10 + (*p - '0');
  for (int e = std::atoi(std::strchr(buf, 'e') + 1) - 14; e > 0; --e) n *= 10;
  return buf[0] == '-' ? -n : n;
}

bool hasPlainIsoDate(const Date& d) {
  return d.year >= 0 && d.year <= 9999 && d.month >= 0 && d.month <= 99 && d.day >= 0 && d.day <= 99;
}

std::string isoDate(const Date& d) {
  if (!hasPlainIsoDate(d)) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
  }
  return text::isoDateDigits(d.year, d.month, d.day);
}

}  // namespace gz::db

namespace gz::db {

namespace {

bool plainName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  });
}

}  // namespace

void rowInsertText(std::string_view table, const Row& r, const std::string& where, std::string& text) {
  if (r.columns().empty()) throw DbError(DbFault::Misuse, where + ": 记录没有设置任何列");
  if (!plainName(table)) throw DbError(DbFault::Misuse, where + ": 表名不合法: " + std::string(table));
  text.assign("insert into ").append(table).append(" (");
  for (std::size_t i = 0; i < r.columns().size(); ++i) {
    const std::string& name = r.columns()[i].first;
    if (!plainName(name)) throw DbError(DbFault::Misuse, where + ": 记录的列名不合法: " + name);
    text.append(i == 0 ? "" : ",").append(name);
  }
  text.append(") values (");
  for (std::size_t i = 0; i < r.columns().size(); ++i) text.append(i == 0 ? "?" : ",?");
  text.append(")");
}

Statement rowInsert(std::string_view table, const Row& r, const std::string& where) {
  std::string text;
  rowInsertText(table, r, where, text);
  auto into = std::make_shared<InsertInto>();
  into->table = table;
  into->columns.reserve(r.columns().size());
  std::vector<Value> values;
  values.reserve(r.columns().size());
  for (const auto& [name, value] : r.columns()) {
    into->columns.push_back(name);
    values.push_back(wholeNumberAsInteger(value));
  }
  return {std::move(text), std::move(values), std::move(into)};
}

std::string byteaHex(const Blob& b) {
  static const char* digits = "0123456789abcdef";
  std::string out = "\\x";
  out.reserve(2 + 2 * b.bytes.size());
  for (const char c : b.bytes) {
    out += digits[static_cast<unsigned char>(c) >> 4];
    out += digits[static_cast<unsigned char>(c) & 15];
  }
  return out;
}

}  // namespace gz::db
