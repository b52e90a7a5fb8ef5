// The people of a department (and every department below it) as the grid
// shows them, and the head count.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/value.h"

namespace gz::db {
class Connection;
}

namespace gz::tree {

// The grid's columns of ryjbxx, in order; each is headed by its name.
inline constexpr std::array<const char*, 9> kPersonnelColumns = {"bh", "xm",   "sfzh", "grsf", "xb",
                                                                 "mz", "csny", "jkzk", "gzsj"};

// One person: the display texts (GB 18030) of kPersonnelColumns, in that order.
using PersonnelRow = std::array<std::string, kPersonnelColumns.size()>;

// The rows of ryjbxx whose bm begins with `deptCode` (GB 18030), as stored:
// codes stay codes. Throws db::DbError.
std::vector<PersonnelRow> queryDepartmentPeople(db::Connection& connection, std::string_view deptCode);

// A stored value as the grid shows it: dates in the short form yyyy-m-d,
// numbers in plain decimal, null as the empty text.
std::string displayText(const db::Value& v);

// The date in a text of the form YYYY-MM-DD, optionally followed by a time
// after a blank or "T": how databases without a date type (SQLite) hand
// back a stored date. Anything else gives nullopt.
std::optional<db::Date> isoDate(std::string_view s);

// The head count for the status bar (GB 18030), e.g. "25人".
std::string headCountText(std::size_t people);

}  // namespace gz::tree
