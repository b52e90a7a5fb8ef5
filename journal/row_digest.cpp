#include "journal/row_digest.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "db/row_digest.h"

namespace gz::journal {

uint64_t rowDigest(const db::Row& row, const std::vector<std::string>& columns) {
  db::RowDigest digest;
  const auto& have = row.columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    // Rows read with `select *` have their columns in the table's order: the
    // same place first, then anywhere.
    const db::Value* v = nullptr;
    if (i < have.size() && have[i].first == columns[i]) v = &have[i].second;
    else
      for (const auto& [name, value] : have)
        if (name == columns[i]) v = &value;
    if (v) digest.add(*v);
    else digest.addAbsent();
  }
  return digest.value();
}

// Two digits a byte, from a table of all 256.
char* writeDigestText(char* out, uint64_t digest) {
  static constexpr auto kPairs = [] {
    constexpr char kHex[] = "0123456789abcdef";
    std::array<char, 512> pairs{};
    for (std::size_t b = 0; b < 256; ++b) {
      pairs[2 * b] = kHex[b >> 4];
      pairs[2 * b + 1] = kHex[b & 0xf];
    }
    return pairs;
  }();
  for (std::size_t i = 0; i < kDigestDigits / 2; ++i)
    std::memcpy(out + 2 * i, &kPairs[2 * ((digest >> (56 - 8 * i)) & 0xff)], 2);
  return out + kDigestDigits;
}

void appendDigestText(std::string& out, uint64_t digest) {
  char digits[kDigestDigits];
  out.append(digits, writeDigestText(digits, digest));
}

bool digestFromText(std::string_view text, std::size_t at, uint64_t& digest) {
  if (at + kDigestDigits > text.size()) return false;
  digest = 0;
  for (std::size_t i = at; i < at + kDigestDigits; ++i) {
    const char ch = text[i];
    int nibble = 0;
    if (ch >= '0' && ch <= '9') nibble = ch - '0';
    else if (ch >= 'a' && ch <= 'f') nibble = ch - 'a' + 10;
    else return false;
    digest = (digest << 4) | static_cast<uint64_t>(nibble);
  }
  return true;
}

}  // namespace gz::journal
