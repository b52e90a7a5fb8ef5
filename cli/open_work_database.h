// Opening the database a command works on, with a clear message when it
// lacks the tables and columns the system reads and writes.
#pragma once

#include <QString>
#include <memory>

#include "db/connection.h"
#include "db/payroll/schema.h"

namespace gz::cli {

// Opens `target` (a file path, postgresql://... or odbc:...) and checks that it
// has the tables and columns `use` needs. Throws db::DbError.
std::unique_ptr<db::Connection> openWorkDatabase(const QString& target, db::SchemaUse use);

}  // namespace gz::cli
