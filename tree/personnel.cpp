#include "tree/personnel.h"

#include <type_traits>
#include <variant>

#include "db/connection.h"
#include "text/bytes.h"

namespace gz::tree {

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
        } else {
          // Four-digit year, month and day without leading zeros.
          std::string year = std::to_string(x.year);
          if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
          return year + "-" + std::to_string(x.month) + "-" + std::to_string(x.day);
        }
      },
      v);
}

std::string headCountText(std::size_t people) {
  return std::to_string(people) + "\xC8\xCB";  // 人
}

std::vector<PersonnelRow> queryDepartmentPeople(db::Connection& connection, std::string_view deptCode) {
  auto rows = connection.query(connection.dialect().selectDepartmentPeople(deptCode));
  std::vector<PersonnelRow> people;
  while (rows->next()) {
    PersonnelRow row;
    for (std::size_t c = 0; c < kPersonnelColumns.size(); ++c) {
      row[c] = displayText(rows->value(kPersonnelColumns[c]));
    }
    people.push_back(std::move(row));
  }
  return people;
}

}  // namespace gz::tree
