// A digest of a row's values, so that a row kept as its key and digest can
// later be told from the same row changed without keeping it whole.
//
// Each value goes in by its kind in one canonical form, so that the same
// value gives the same digest however a database hands it back: null; a
// whole number (a decimal number without a fraction counts as that whole
// number); any other decimal number; a text as its GB 18030 bytes; a date
// as its year, month and day. The steps are inline: a digest is taken of
// every value an import inserts.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "db/connection.h"
#include "db/value.h"

namespace gz::db {

class RowDigest {
 public:
  void add(const Value& v);
  // A value as the database stored it goes in as the same value read back:
  // SQLite stores dates as texts and reads them so.
  void add(const StoredValue& v) {
    switch (v.kind) {
      case StoredValue::Kind::Null: return addNull();
      case StoredValue::Kind::Whole: return addWhole(v.whole);
      case StoredValue::Kind::Decimal: return addDecimal(v.decimal);
      case StoredValue::Kind::Text: return addText(v.text);
      case StoredValue::Kind::Bytes: return addBytes(v.text);
    }
  }
  // A column the row lacks: differs from every value.
  void addAbsent() { mix(kAbsent); }
  void addNull() { mix(kNull); }
  void addWhole(int64_t x) {
    mix(kWhole);
    mix(static_cast<uint64_t>(x));
  }
  void addDecimal(double x) {
    if (std::isfinite(x) && std::trunc(x) == x && std::fabs(x) < kExactWhole) return addWhole(static_cast<int64_t>(x));
    mix(kDecimal);
    mix(std::bit_cast<uint64_t>(x));
  }
  void addText(std::string_view x) {
    mix(kText);
    mixBytes(x);
  }
  void addBytes(std::string_view x) {
    mix(kBytes);
    mixBytes(x);
  }
  void addDate(const Date& x) {
    mix(kDate);
    mix(static_cast<uint64_t>(x.year) * 10000 + static_cast<uint64_t>(x.month) * 100 + static_cast<uint64_t>(x.day));
  }

  uint64_t value() const { return hash_; }

 private:
  // The value's kind goes in before the value, so that no two kinds meet.
  enum Kind : uint64_t { kNull = 1, kWhole, kDecimal, kText, kDate, kAbsent, kBytes };
  // Whole numbers up to here are exact as decimal numbers too.
  static constexpr double kExactWhole = 9007199254740992.0;  // 2^53
  static constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;  // 2^64 / golden ratio, odd
  static constexpr std::size_t kWordBytes = 8;

  // Eight bytes at a time: a multiply spreads each word over the whole
  // hash, the shift brings its high bits back down.
  void mix(uint64_t word) {
    hash_ = (hash_ ^ word) * kMultiplier;
    hash_ ^= hash_ >> 32;
  }
  // The length, then eight bytes to a word, the first the lowest, the last
  // word padded with zeros. Whole words are loaded at once where the
  // machine keeps the lowest byte first, as common machines do.
  void mixBytes(std::string_view bytes) {
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

  uint64_t hash_ = 0;
};

}  // namespace gz::db
