// The digest of a row the journal keeps (db::RowDigest) and how it writes
// digests down.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/row.h"

namespace gz::journal {

// The digest (db::RowDigest) of `row`'s values in `columns`, in that order.
uint64_t rowDigest(const db::Row& row, const std::vector<std::string>& columns);

// A digest as the journal writes it: 16 hexadecimal digits.
void appendDigestText(std::string& out, uint64_t digest);
// The same into `out`, which has room for kDigestDigits; returns the end.
char* writeDigestText(char* out, uint64_t digest);
// Reads 16 hexadecimal digits at `at`; false when they are not there.
bool digestFromText(std::string_view text, std::size_t at, uint64_t& digest);
inline constexpr std::size_t kDigestDigits = 16;

}  // namespace gz::journal
