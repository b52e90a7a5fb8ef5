// A whole row in the form journal files held before rows were grouped: the
// tests write earlier files and compare whole tables with it.
#pragma once

#include <string>

#include "db/row.h"
#include "journal/row_text.h"

namespace gz::journal::testing {

inline std::string rowText(const db::Row& row) {
  std::string out;
  for (const auto& [name, v] : row.columns()) {
    out += name;
    out += '=';
    appendValueText(out, v);
  }
  return out;
}

}  // namespace gz::journal::testing
