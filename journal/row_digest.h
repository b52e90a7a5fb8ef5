// A digest of a row's values, so that the journal can tell whether a row the
// run inserted is still as the run left it without keeping the whole row.
//
// Each value goes in by its kind in one canonical form, so that the same
// value gives the same digest however a database hands it back: null; a
// whole number (a decimal number without a fraction counts as that whole
// number); any other decimal number; a text as its GB 18030 bytes; a date
// as its year, month and day.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"
#include "db/row.h"
#include "db/value.h"

namespace gz::journal {

class RowDigest {
 public:
  void add(const db::Value& v);
  // A value as the database stored it goes in as the same value read back:
  // SQLite stores dates as texts and reads them so.
  void add(const db::StoredValue& v);
  // A column the row lacks: differs from every value.
  void addAbsent();
  uint64_t value() const { return hash_; }

 private:
  void mix(uint64_t word);
  void addNull();
  void addWhole(int64_t x);
  void addDecimal(double x);
  void addText(std::string_view x);
  void addBytes(std::string_view x);
  void mixBytes(std::string_view bytes);
  uint64_t hash_ = 0;
};

// The digest of `row`'s values in `columns`, in that order.
uint64_t rowDigest(const db::Row& row, const std::vector<std::string>& columns);
// The digest of a row's values as the database stored them, in the table's order.
uint64_t storedRowDigest(const std::vector<db::StoredValue>& values);

// A digest as the journal writes it: 16 hexadecimal digits.
void appendDigestText(std::string& out, uint64_t digest);
// The same into `out`, which has room for kDigestDigits; returns the end.
char* writeDigestText(char* out, uint64_t digest);
// Reads 16 hexadecimal digits at `at`; false when they are not there.
bool digestFromText(std::string_view text, std::size_t at, uint64_t& digest);
inline constexpr std::size_t kDigestDigits = 16;

}  // namespace gz::journal
