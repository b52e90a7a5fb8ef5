// A cell's value as the sheet holds it. Texts are GB 18030 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gz::sheet {

enum class CellKind : uint8_t {
  Empty,
  Number,   // number; `isDate` when its format shows a date or time
  Text,     // text (GB 18030)
  Boolean,  // number holds 0 or 1
  Error,    // number holds the BIFF error code (0x00 #NULL!, 0x07 #DIV/0!, 0x2A #N/A, ...)
};

// A cell's value as the sheet holds it ("cell value", unconverted).
struct CellValue {
  CellKind kind = CellKind::Empty;
  bool isDate = false;  // Number only: a date-formatted serial day count
  double number = 0;    // Number, Boolean, Error
  std::string text;     // Text (GB 18030)
  // Text only: the file held malformed text here (bytes that are no character
  // of its code page, an unpaired surrogate). `text` shows it with U+FFFD in
  // the unreadable places; it must not be stored as if it were the cell's text.
  bool unreadable = false;
};

// A text cell holding `gbk`.
inline CellValue textCell(std::string_view gbk) {
  CellValue v;
  v.kind = CellKind::Text;
  v.text = std::string(gbk);
  return v;
}

}  // namespace gz::sheet
