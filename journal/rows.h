// Whole rows read from the payroll database for the journal, and how two
// images of a row compare.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/row.h"

namespace gz::journal {

// A row of one table, every column as the database holds it.
struct TableRow {
  std::string table;
  db::Row row;
};

// The rows a query returns, every column of each.
std::vector<db::Row> readRows(db::Connection& conn, const db::Statement& query);
// The rows of these people in the person table and in each per-person table.
std::vector<TableRow> readPeopleRows(db::Connection& conn, const std::vector<int64_t>& personIds);

// What finds the row again: its `id`, or every column where the table has no `id`.
db::Row rowKey(const db::Row& row);
// The key as a text for messages ("id=12").
std::string keyText(const db::Row& key);
// The first column whose value differs between the two images, a column
// missing from either included; nullopt when they are the same.
std::optional<std::string> firstDifference(const db::Row& a, const db::Row& b);

}  // namespace gz::journal
