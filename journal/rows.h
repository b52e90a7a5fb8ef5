// Whole rows read from the payroll database for the journal, and how two
// images of a row compare.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"
#include "db/row.h"
#include "journal/journal_file.h"

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

// The rows of a group that belong to some people: those whose `column`
// holds one of `ids` (sorted).
struct Owners {
  std::string_view column;
  const std::vector<int64_t>& ids;
};

// Reads the rows `query` returns as groups of `table` and `change` (an
// insert or a delete), each row as its values, without building rows first;
// with `owners`, only theirs; with `digests`, inserted rows of a table with
// an `id` as their key and digest (RowGroup::digests). Each group is handed
// to `closed` once it holds about kGroupBytes or the rows end, so that no
// one text the journal writes or holds is large.
inline constexpr std::size_t kGroupBytes = 256 * 1024;
using GroupSink = std::function<void(RowGroup&&)>;
void readGroups(db::Connection& conn, const db::Statement& query, const std::string& table, Change change,
                const GroupSink& closed, const std::optional<Owners>& owners = std::nullopt, bool digests = false);
// The rows of `table` a capture kept, those of `owners` alone, as groups of
// inserted rows kept as their key and digest, as readGroups makes them.
void capturedGroups(const std::string& table, const db::InsertCapture::Taken& captured, const Owners& owners,
                    const GroupSink& closed);
// A group of the one row of an entry.
RowGroup groupOf(const Entry& entry);
// Adds the entry's row to the last of `groups` when it is of the same table,
// change and columns and has room, else as a group of its own.
void addEntry(std::vector<RowGroup>& groups, const Entry& entry);
// A group's rows one by one, as entries. Throws JournalError(Damaged) when
// its texts do not hold its rows.
std::vector<Entry> entriesOf(const RowGroup& group);

// What finds the row again: its `id`, or every column where the table has no `id`.
db::Row rowKey(const db::Row& row);
// The key as a text for messages ("id=12").
std::string keyText(const db::Row& key);
// The first column whose value differs between the two images, a column
// missing from either included; nullopt when they are the same.
std::optional<std::string> firstDifference(const db::Row& a, const db::Row& b);

}  // namespace gz::journal
