#include "sheet/xls/biff_values.h"

#include <cstring>

#include "sheet/xls/biff_records.h"

namespace gz::sheet::biff {

double decodeRk(uint32_t rk) {
  double v;
  if (rk & 0x02) {
    v = static_cast<double>(static_cast<int32_t>(rk) >> 2);
  } else {
    const uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&v, &bits, sizeof v);
  }
  return (rk & 0x01) ? v / 100 : v;
}

FormulaResult decodeFormulaResult(const uint8_t* r) {
  FormulaResult out;
  if (le16(r + 6) != 0xFFFF) {
    out.kind = FormulaResult::Kind::Number;
    out.number = leDouble(r);
    return out;
  }
  switch (r[0]) {
    case 0: out.kind = FormulaResult::Kind::String; break;
    case 1:
      out.kind = FormulaResult::Kind::Boolean;
      out.code = r[2] ? 1 : 0;
      break;
    case 2:
      out.kind = FormulaResult::Kind::Error;
      out.code = r[2];
      break;
    case 3: out.kind = FormulaResult::Kind::EmptyString; break;
    default: break;
  }
  return out;
}

}  // namespace gz::sheet::biff
