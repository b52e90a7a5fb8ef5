// The tables a migration creates: each Access column's type in the target's
// SQL flavour, chosen so that no value changes on the way, and the
// statements that create, drop and finish a table.
#pragma once

#include <string>
#include <string_view>

#include "db/statement.h"
#include "migrate/access_file.h"

namespace gz::migrate {

// A table or column name in double quotes, inner quotes doubled, so that
// any name the file allows (blanks, Chinese, SQL words) stays as it is.
std::string quotedName(std::string_view name);

// The target type of a column: whole numbers of their width, floating point
// of its width, currency and decimals exact (numeric on PostgreSQL, decimal
// text on SQLite, whose numeric types would round them), date-times,
// booleans, bytes; texts, memos and GUIDs as text.
std::string columnType(const AccessColumn& column, db::DialectKind dialect);

// "create table" with every column and the primary key the file declares.
// An auto-number column is one the target numbers too: the rowid on SQLite,
// an identity column on PostgreSQL.
std::string createTableText(const AccessTable& table, db::DialectKind dialect);

// After loading, the next number an auto-number column hands out on
// PostgreSQL follows the largest one loaded; empty where nothing needs it.
std::string continueNumberingText(const AccessTable& table, db::DialectKind dialect);

}  // namespace gz::migrate
