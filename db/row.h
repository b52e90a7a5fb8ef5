// A row to store: values set by column name, then written in one insert.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "db/value.h"

namespace gz::db {

class Row {
 public:
  void set(const std::string& column, Value v);
  const std::vector<std::pair<std::string, Value>>& columns() const { return columns_; }
  void clear() { columns_.clear(); }

 private:
  std::vector<std::pair<std::string, Value>> columns_;  // in the order set; a later set replaces
};

}  // namespace gz::db
