// Statements on whole rows, for the journal that takes a run back: rows read
// with every column, and single rows found by their values (the key, or
// every column where a table has no key), deleted, put back or set again.
// Each flavour writes values its own way: Jet as literals in the text, the
// others as bound values.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "db/row.h"
#include "db/statement.h"

namespace gz::db {

// Column names go into the texts, so only plain names (letters, digits, "_")
// pass; anything else throws DbError(Misuse).
struct WholeRows {
  bool inlineValues = false;     // Jet: values written into the text
  bool overrideIdentity = false; // PostgreSQL: explicit keys go into identity columns too

  Statement selectIn(std::string_view table, std::string_view column, const std::vector<int64_t>& values) const;
  // Rows whose `column` lies in [low, high]: one read of a range instead of a list.
  Statement selectBetween(std::string_view table, std::string_view column, int64_t low, int64_t high) const;
  Statement selectMatching(std::string_view table, const Row& match) const;
  Statement deleteMatching(std::string_view table, const Row& match) const;
  Statement deleteIn(std::string_view table, std::string_view column, const std::vector<int64_t>& values) const;
  Statement insertWhole(std::string_view table, const Row& row) const;
  Statement updateMatching(std::string_view table, const Row& values, const Row& match) const;
};

}  // namespace gz::db
