// Opening and creating databases beyond openDatabase() of connection.h.
#pragma once

#include <memory>
#include <string>

#include "db/connection.h"

namespace gz::db {

// Creates a new, empty SQLite database file and opens it. Refuses (DbError)
// when the file already exists, so no database is ever overwritten.
std::unique_ptr<Connection> createSqliteDatabase(const std::string& path);

// The ODBC connection string that opens a password-protected Access (Jet)
// file through the Access ODBC driver, shared and without a login prompt.
std::string accessConnectionString(const std::string& path);

// The database password the payroll's Access file is kept with.
const char* accessDatabasePassword();

}  // namespace gz::db
