#include "tree/personnel.h"

#include <type_traits>
#include <variant>

#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "text/bytes.h"

namespace gz::tree {

namespace {

bool isDateColumn(std::string_view column) { return column == "csny" || column == "gzsj"; }

}  // namespace

std::string displayText(const db::Value& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return {};
        } else if constexpr (std::is_same_v<T, int64_t>) {
          return std::to_string(x);
        } else if constexpr (std::is_same_v<T, double>) {
          return text::formatNumber(x);
        } else if constexpr (std::is_same_v<T, std::string>) {
          return x;
        } else if constexpr (std::is_same_v<T, db::Blob>) {
          return "(" + std::to_string(x.bytes.size()) + " bytes)";
        } else {
          // Four-digit year, month and day without leading zeros.
          std::string year = std::to_string(x.year);
          if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
          return year + "-" + std::to_string(x.month) + "-" + std::to_string(x.day);
        }
      },
      v);
}

std::optional<db::Date> isoDate(std::string_view s) {
  if (s.size() < 10 || (s.size() > 10 && s[10] != ' ' && s[10] != 'T')) return std::nullopt;
  auto number = [&](std::size_t from, std::size_t len, int& out) {
    out = 0;
    for (std::size_t i = from; i < from + len; ++i) {
      if (s[i] < '0' || s[i] > '9') return false;
      out = out * 10 + (s[i] - '0');
    }
    return true;
  };
  db::Date d;
  if (!number(0, 4, d.year) || s[4] != '-' || !number(5, 2, d.month) || s[7] != '-' || !number(8, 2, d.day) ||
      d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31) {
    return std::nullopt;
  }
  return d;
}

std::string headCountText(std::size_t people) {
  return std::to_string(people) + "\xC8\xCB";  // 人
}

std::vector<PersonnelRow> queryDepartmentPeople(db::Connection& connection, std::string_view deptCode) {
  auto rows = connection.query(db::dialectOf(connection).selectDepartmentPeople(deptCode));
  std::vector<PersonnelRow> people;
  while (rows->next()) {
    PersonnelRow row;
    for (std::size_t c = 0; c < kPersonnelColumns.size(); ++c) {
      db::Value v = rows->value(kPersonnelColumns[c]);
      if (isDateColumn(kPersonnelColumns[c])) {
        if (const auto* s = std::get_if<std::string>(&v)) {
          if (auto d = isoDate(*s)) v = *d;
        }
      }
      row[c] = displayText(v);
    }
    people.push_back(std::move(row));
  }
  return people;
}

}  // namespace gz::tree
