// Compiled-in code page tables, written by tools/gen_cp936.py.
#pragma once

#include <cstdint>

namespace gz::text::detail {

inline constexpr int kCp936FirstLead = 0x81;
inline constexpr int kCp936FirstTrail = 0x40;
inline constexpr int kCp936Leads = 0xFE - 0x81 + 1;
inline constexpr int kCp936Trails = 0xFE - 0x40 + 1;

// Unicode of each two-byte code, row by lead byte; 0 where there is none.
extern const uint16_t kCp936[kCp936Leads * kCp936Trails];

// Unicode of the bytes 0x80..0xFF; 0 where the code page has no character.
extern const uint16_t kWindows1252High[128];
extern const uint16_t kWindows1251High[128];
extern const uint16_t kMacRomanHigh[128];

}  // namespace gz::text::detail
