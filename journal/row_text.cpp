#include "journal/row_text.h"

#include <charconv>
#include <cstdlib>
#include <variant>

#include "db/sql_values.h"
#include "journal/journal_error.h"
#include "journal/row_digest.h"

namespace gz::journal {

namespace {

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
  if (tag == 't' || tag == 'b') {
    const int64_t size = number(text, at, ':');
    if (size < 0 || at + size >= text.size() || text[at + size] != ';') damaged(text);
    std::string s(text.substr(at, size));
    at += size + 1;
    if (tag == 'b') return db::Blob{std::move(s)};
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

void appendValueText(std::string& out, const db::Value& v) {
  char digits[40];
  std::visit(
      [&](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) out += 'n';
        else if constexpr (std::is_same_v<T, int64_t>) {
          out += 'i';
          out.append(digits, std::to_chars(digits, digits + sizeof digits, x).ptr);
        } else if constexpr (std::is_same_v<T, double>) {
          // The shortest digits that read back as the same number.
          out += 'f';
          out.append(digits, std::to_chars(digits, digits + sizeof digits, x).ptr);
        } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, db::Blob>) {
          // Bytes are written like texts, under a tag of their own.
          const std::string& bytes = [&]() -> const std::string& {
            if constexpr (std::is_same_v<T, db::Blob>) return x.bytes;
            else return x;
          }();
          out += std::is_same_v<T, db::Blob> ? 'b' : 't';
          out.append(digits, std::to_chars(digits, digits + sizeof digits, bytes.size()).ptr);
          out += ':';
          out += bytes;
        } else {
          out += 'd';
          out += db::isoDate(x);
        }
      },
      v);
  out += ';';
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

std::vector<db::Row> rowsFromValues(const std::vector<std::string>& columns, std::string_view text) {
  std::vector<db::Row> rows;
  std::size_t at = 0;
  while (at < text.size()) {
    db::Row& row = rows.emplace_back();
    for (const std::string& name : columns) row.set(name, readValue(text, at));
    if (at >= text.size() || text[at] != '\n') damaged(text.substr(at));
    ++at;
  }
  return rows;
}

std::vector<KeyDigest> keyDigestsFromText(std::string_view text) {
  std::vector<KeyDigest> rows;
  std::size_t at = 0;
  while (at < text.size()) {
    KeyDigest& row = rows.emplace_back();
    row.key = readValue(text, at);
    if (!digestFromText(text, at, row.digest)) damaged(text.substr(at));
    at += kDigestDigits;
    if (at >= text.size() || text[at] != '\n') damaged(text.substr(at));
    ++at;
  }
  return rows;
}

}  // namespace gz::journal
