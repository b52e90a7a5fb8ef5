// The tables and columns the system reads and writes: creating them for a
// development database, and checking that a database has them.
#pragma once

#include <string>
#include <vector>

#include "db/connection.h"

namespace gz::db {

struct TableColumns {
  const char* table;
  std::vector<const char*> columns;
};

// Every table the system touches with the columns it names.
const std::vector<TableColumns>& requiredSchema();

// Creates the tables, with an auto-number id in every table and indexes on
// ryjbxx.bm and on every mid. SQLite and PostgreSQL only; throws DbError.
void createSchema(Connection& c);

// What the database lacks: "表 ryxl" for a missing table, "ryjbxx.bh" for a
// missing column. Empty when everything is there. Run outside a transaction.
// What a piece of work reads or writes: browsing the institution tree, the
// personnel view (the tree and the people's grid columns), or an import (every
// table above).
enum class SchemaUse { Tree, PersonnelView, Import };
std::vector<std::string> missingSchemaItems(Connection& c, SchemaUse use = SchemaUse::Import);

// Throws DbError naming every missing table and column.
void requireSchema(Connection& c, SchemaUse use = SchemaUse::Import);

}  // namespace gz::db
