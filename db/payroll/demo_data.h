// A small, realistic data set for trying the program out: an institution
// tree of three levels and a few people with their history rows.
#pragma once

#include "db/connection.h"

namespace gz::db {

// Adds the demo rows to a database that has the tables (createSchema) and
// no rows yet. One transaction; throws DbError.
void addDemoData(Connection& c);

}  // namespace gz::db
