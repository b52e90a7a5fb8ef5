// How long a PostgreSQL session waits for another user's lock, set through a
// statement so that any connection to the server can use it.
#pragma once

#include <chrono>

#include "db/statement.h"

namespace gz::db {

// "set lock_timeout = N" with N in milliseconds: a statement that waits longer
// for a lock fails with SQLSTATE 55P03 (DbFault::Busy). A limit of 0 becomes
// 1 ms, since 0 would mean waiting without end.
Statement postgresLockTimeout(std::chrono::milliseconds limit);

}  // namespace gz::db
