#include "db/sql_state.h"

namespace gz::db {

DbFault faultFromSqlState(std::string_view state) {
  struct Code {
    std::string_view state;  // a whole code, or a class of two characters
    DbFault fault;
  };
  static constexpr Code kCodes[] = {
      {"42P01", DbFault::MissingTable},     // undefined_table
      {"42S02", DbFault::MissingTable},     // ODBC: base table or view not found
      {"42703", DbFault::MissingColumn},    // undefined_column
      {"42S22", DbFault::MissingColumn},    // ODBC: column not found
      {"40001", DbFault::Busy},             // serialization_failure
      {"40P01", DbFault::Busy},             // deadlock_detected
      {"55P03", DbFault::Busy},             // lock_not_available (lock_timeout)
      {"HYT00", DbFault::Busy},             // ODBC: timeout expired
      {"40003", DbFault::ConnectionLost},   // statement completion unknown
      {"57P01", DbFault::ConnectionLost},   // admin_shutdown
      {"57P02", DbFault::ConnectionLost},   // crash_shutdown
      {"57P03", DbFault::ConnectionLost},   // cannot_connect_now
      {"HYT01", DbFault::ConnectionLost},   // ODBC: connection timeout expired
      {"HY001", DbFault::OutOfResources},   // ODBC: memory allocation error
      {"25006", DbFault::ReadOnly},         // read_only_sql_transaction (a standby server)
      {"0A000", DbFault::Unsupported},      // feature_not_supported
      {"HYC00", DbFault::Unsupported},      // ODBC: optional feature not implemented
      {"IM002", DbFault::CannotConnect},    // ODBC: data source or driver not found
      {"08", DbFault::ConnectionLost},      // connection exceptions
      {"53", DbFault::OutOfResources},      // insufficient resources: disk, memory, connections
      {"28", DbFault::CannotConnect},       // invalid authorization
      {"3D", DbFault::CannotConnect},       // invalid catalog name: no such database
  };
  if (state.size() != 5) return DbFault::Refused;
  for (const Code& c : kCodes)
    if (state.substr(0, c.state.size()) == c.state) return c.fault;
  return DbFault::Refused;
}

}  // namespace gz::db
