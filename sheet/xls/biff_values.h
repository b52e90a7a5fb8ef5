// Decoding the compact number forms of cell records.
#pragma once

#include <cstdint>

namespace gz::sheet::biff {

// An RK value: bit 1 set means a 30-bit signed integer in the upper bits,
// else the upper 30 bits are the top of an IEEE double; bit 0 set means the
// value is to be divided by 100.
double decodeRk(uint32_t rk);

// The cached result of a FORMULA record (its 8 result bytes).
struct FormulaResult {
  enum class Kind { Number, String, Boolean, Error, EmptyString, Unknown };
  Kind kind = Kind::Unknown;
  double number = 0;  // Number
  uint8_t code = 0;   // Boolean (0 or 1) and Error (the error code)
};
// String means the text follows in the next STRING record.
FormulaResult decodeFormulaResult(const uint8_t* result8);

}  // namespace gz::sheet::biff
