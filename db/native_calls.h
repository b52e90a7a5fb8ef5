// What the program asks of the database client libraries directly, through
// a connection's or a statement's native handle, because Qt does not pass it
// on: the database product, the SQLSTATE of a failure and whether the
// connection is dead, from the ODBC driver manager.
#pragma once

#include <QString>
#include <string>

class QSqlDatabase;
class QVariant;

namespace gz::db {

// The database product behind an ODBC connection, as the driver names it
// (SQL_DBMS_NAME); empty when the driver does not say.
QString odbcDbmsName(const QSqlDatabase& db);

enum class OdbcHandle : short { Connection = 2, Statement = 3 };  // SQL_HANDLE_DBC, SQL_HANDLE_STMT

// The SQLSTATE of the last failure on a native handle (QSqlDriver::handle()
// or QSqlResult::handle()); empty when there is none or it cannot be read.
std::string odbcSqlState(const QVariant& handle, OdbcHandle kind);

// True when the driver behind an ODBC connection handle (QSqlDriver::handle())
// knows its connection to be dead (SQL_ATTR_CONNECTION_DEAD).
bool odbcConnectionDead(const QVariant& driverHandle);

}  // namespace gz::db
