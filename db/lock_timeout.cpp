#include "db/lock_timeout.h"

#include <algorithm>
#include <string>

namespace gz::db {

Statement postgresLockTimeout(std::chrono::milliseconds limit) {
  const long long ms = std::max<long long>(1, limit.count());
  return {"set lock_timeout = " + std::to_string(ms), {}};
}

}  // namespace gz::db
