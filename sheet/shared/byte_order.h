// Reading little-endian numbers from bytes, as every binary workbook form and
// the encryption headers store them (and big-endian 16-bit units, which only
// text with a byte order mark uses). The caller checks the length first.
#pragma once

#include <cstdint>
#include <cstring>

namespace gz::sheet {

inline uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t le64(const uint8_t* p) {
  return static_cast<uint64_t>(le32(p)) | (static_cast<uint64_t>(le32(p + 4)) << 32);
}
inline double leDouble(const uint8_t* p) {
  const uint64_t bits = le64(p);
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

}  // namespace gz::sheet
