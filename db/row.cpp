#include "db/row.h"

namespace gz::db {

void Row::set(const std::string& column, Value v) {
  for (auto& [name, value] : columns_) {
    if (name == column) {
      value = std::move(v);
      return;
    }
  }
  columns_.emplace_back(column, std::move(v));
}

}  // namespace gz::db
