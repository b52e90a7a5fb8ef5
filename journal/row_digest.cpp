#include "journal/row_digest.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <variant>

namespace gz::journal {

namespace {

// The value's kind goes in before the value, so that no two kinds meet.
enum Kind : uint64_t { kNull = 1, kWhole, kDecimal, kText, kDate, kAbsent, kBytes };
// Whole numbers up to here are exact as decimal numbers too.
constexpr double kExactWhole = 9007199254740992.0;  // 2^53
constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;  // 2^64 / golden ratio, odd
constexpr std::size_t kWordBytes = 8;

}  // namespace

// Eight bytes at a time: a multiply spreads each word over the whole hash,
// the shift brings its high bits back down. The steps are inline: a digest
// is taken of every value an import inserts.
inline void RowDigest::mix(uint64_t word) {
  hash_ = (hash_ ^ word) * kMultiplier;
  hash_ ^= hash_ >> 32;
}

inline void RowDigest::addNull() { mix(kNull); }

inline void RowDigest::addWhole(int64_t x) {
  mix(kWhole);
  mix(static_cast<uint64_t>(x));
}

inline void RowDigest::addDecimal(double x) {
  if (std::isfinite(x) && std::trunc(x) == x && std::fabs(x) < kExactWhole) return addWhole(static_cast<int64_t>(x));
  mix(kDecimal);
  mix(std::bit_cast<uint64_t>(x));
}

inline void RowDigest::addText(std::string_view x) {
  mix(kText);
  mixBytes(x);
}

inline void RowDigest::addBytes(std::string_view x) {
  mix(kBytes);
  mixBytes(x);
}

// The length, then eight bytes to a word, the first the lowest, the last
// word padded with zeros. Whole words are loaded at once where the machine
// keeps the lowest byte first, as common machines do.
inline void RowDigest::mixBytes(std::string_view bytes) {
  mix(bytes.size());
  std::size_t at = 0;
  if constexpr (std::endian::native == std::endian::little)
    for (; at + kWordBytes <= bytes.size(); at += kWordBytes) {
      uint64_t word = 0;
      std::memcpy(&word, bytes.data() + at, kWordBytes);
      mix(word);
    }
  for (; at < bytes.size(); at += kWordBytes) {
    uint64_t word = 0;
    for (std::size_t i = 0; i < kWordBytes && at + i < bytes.size(); ++i)
      word |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    mix(word);
  }
}

void RowDigest::add(const db::Value& v) {
  std::visit(
      [&](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) addNull();
        else if constexpr (std::is_same_v<T, int64_t>) addWhole(x);
        else if constexpr (std::is_same_v<T, double>) addDecimal(x);
        else if constexpr (std::is_same_v<T, std::string>) addText(x);
        else if constexpr (std::is_same_v<T, db::Blob>) addBytes(x.bytes);
        else {
          mix(kDate);
          mix(static_cast<uint64_t>(x.year) * 10000 + static_cast<uint64_t>(x.month) * 100 +
              static_cast<uint64_t>(x.day));
        }
      },
      v);
}

void RowDigest::add(const db::StoredValue& v) {
  switch (v.kind) {
    case db::StoredValue::Kind::Null: return addNull();
    case db::StoredValue::Kind::Whole: return addWhole(v.whole);
    case db::StoredValue::Kind::Decimal: return addDecimal(v.decimal);
    case db::StoredValue::Kind::Text: return addText(v.text);
    case db::StoredValue::Kind::Bytes: return addBytes(v.text);
  }
}

void RowDigest::addAbsent() { mix(kAbsent); }

uint64_t rowDigest(const db::Row& row, const std::vector<std::string>& columns) {
  RowDigest digest;
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

uint64_t storedRowDigest(const std::vector<db::StoredValue>& values) {
  RowDigest digest;
  for (const db::StoredValue& v : values) digest.add(v);
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
