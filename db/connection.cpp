#include "db/connection.h"

#include <optional>

namespace gz::db {

std::vector<bool> Connection::tryExecuteEach(const std::vector<Statement>& statements) {
  std::vector<bool> stored;
  stored.reserve(statements.size());
  for (const Statement& s : statements) stored.push_back(tryExecute(s));
  return stored;
}

bool Connection::tryUnderSavepoint(const Statement& s, bool guarded) {
  std::optional<Savepoint> guard;
  if (guarded) guard.emplace(*this, "gz_try");
  try {
    execute(s);
  } catch (const DbError& e) {
    if (endsTheWork(e.fault())) throw;
    if (guard) guard->rollback();
    return false;
  }
  if (guard) guard->release();
  return true;
}

}  // namespace gz::db
