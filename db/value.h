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

// Null, whole number, decimal number, GB 18030 text or date.
using Value = std::variant<std::monostate, int64_t, double, std::string, Date>;

}  // namespace gz::db
