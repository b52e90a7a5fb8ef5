// Values bound to statements and set in rows.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace gz::db {

// A calendar date (stored as ISO YYYY-MM-DD by SQLite and PostgreSQL).
struct Date {
  int year = 0, month = 0, day = 0;
  bool operator==(const Date&) const = default;
};

// Bytes stored as they are (a blob in SQLite, bytea in PostgreSQL), never as text.
struct Blob {
  std::string bytes;
  bool operator==(const Blob&) const = default;
};

// Null, whole number, decimal number, GB 18030 text, date or bytes.
using Value = std::variant<std::monostate, int64_t, double, std::string, Date, Blob>;

}  // namespace gz::db
