// The kind of a database failure from its SQLSTATE, the five-character code
// that PostgreSQL gives and ODBC drivers report (PostgreSQL's own codes, such
// as 42P01, and the ODBC ones, such as 42S02, differ, so both are known).
#pragma once

#include <string_view>

#include "db/connection.h"

namespace gz::db {

// Refused for every code that names no more particular kind, the empty code included.
DbFault faultFromSqlState(std::string_view state);

}  // namespace gz::db
