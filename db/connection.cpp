#include "db/connection.h"

namespace gz::db {

std::vector<bool> Connection::tryExecuteEach(const std::vector<Statement>& statements) {
  std::vector<bool> stored;
  stored.reserve(statements.size());
  for (const Statement& s : statements) stored.push_back(tryExecute(s));
  return stored;
}

}  // namespace gz::db
