#include "journal/row_digest.h"

#include <bit>
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

namespace {

// Eight hexadecimal digits of `v` at once, as the bytes of a word, the
// lowest digit in the lowest byte: each digit's four bits are spread to a
// byte of their own, then made a digit or a letter.
uint64_t hexDigitBytes(uint32_t v) {
  uint64_t x = v;
  x = ((x & 0xFFFF0000ULL) << 16) | (x & 0xFFFFULL);
  x = ((x & 0x0000FF000000FF00ULL) << 8) | (x & 0x000000FF000000FFULL);
  x = ((x & 0x00F000F000F000F0ULL) << 4) | (x & 0x000F000F000F000FULL);
  // 0x01 in each byte whose digit is 10 or more: those become a to f.
  const uint64_t letters = ((x + 0x0606060606060606ULL) >> 4) & 0x0101010101010101ULL;
  return x + 0x3030303030303030ULL + letters * ('a' - '0' - 10);
}

// The word's bytes in the other order (one instruction where there is one).
uint64_t reversedBytes(uint64_t x) {
  x = ((x & 0x00FF00FF00FF00FFULL) << 8) | ((x >> 8) & 0x00FF00FF00FF00FFULL);
  x = ((x & 0x0000FFFF0000FFFFULL) << 16) | ((x >> 16) & 0x0000FFFF0000FFFFULL);
  return (x << 32) | (x >> 32);
}

// The eight digits, the highest first, into `out`: the highest digit is in
// the word's highest byte, which the machine may keep last.
void writeHexDigits(char* out, uint32_t v) {
  uint64_t digits = hexDigitBytes(v);
  if constexpr (std::endian::native == std::endian::little) digits = reversedBytes(digits);
  std::memcpy(out, &digits, sizeof digits);
}

}  // namespace

char* writeDigestText(char* out, uint64_t digest) {
  writeHexDigits(out, static_cast<uint32_t>(digest >> 32));
  writeHexDigits(out + 8, static_cast<uint32_t>(digest));
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
