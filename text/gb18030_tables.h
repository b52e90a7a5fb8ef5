// Compiled-in character tables, written by tools/gen_text_tables.py.
#pragma once

#include <cstdint>

namespace gz::text::detail {

inline constexpr int kTwoByteFirstLead = 0x81;
inline constexpr int kTwoByteFirstTrail = 0x40;
inline constexpr int kTwoByteLeads = 0xFE - 0x81 + 1;
inline constexpr int kTwoByteTrails = 0xFE - 0x40 + 1;

// Unicode of each GB 18030 two-byte code, row by lead byte; 0 at trail 0x7F.
extern const uint16_t kGb18030TwoByte[kTwoByteLeads * kTwoByteTrails];

// Four-byte codes of the Basic Multilingual Plane: `length` consecutive
// linear indices from `index` are the characters from `unicode` on.
struct FourByteRun {
  uint32_t index;
  uint16_t unicode;
  uint16_t length;
};
inline constexpr int kFourByteRunCount = 221;
inline constexpr uint32_t kFourByteBmpCount = 39420;
extern const FourByteRun kGb18030FourByteRuns[kFourByteRunCount];

// Unicode of the bytes 0x80..0xFF of single-byte code pages.
extern const uint16_t kWindows1252High[128];
extern const uint16_t kWindows1251High[128];
extern const uint16_t kMacRomanHigh[128];

}  // namespace gz::text::detail
