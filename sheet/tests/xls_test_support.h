// Building BIFF record streams and compound files for the .xls reader tests,
// and reading the committed test workbooks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/model/workbook.h"

namespace gz::sheet::testing {

using ByteVec = std::vector<uint8_t>;

// Little-endian payload builder.
struct Payload {
  ByteVec bytes;
  Payload& u8(unsigned v);
  Payload& u16(unsigned v);
  Payload& u32(uint32_t v);
  Payload& f64(double v);
  Payload& raw(const ByteVec& b);
  Payload& text(std::string_view s);  // bytes as they are
  operator ByteVec() const { return bytes; }
};

ByteVec record(uint16_t id, const ByteVec& payload);

// BIFF8 strings: count (one or two bytes), option byte, characters stored
// one byte each when they all fit, else two.
ByteVec unicodeString(std::u16string_view s, bool twoByteCount = true);
// BIFF5 strings: count, then the bytes.
ByteVec byteString(std::string_view bytes, bool twoByteCount = true);

// Cell records.
ByteVec numberCell(unsigned row, unsigned col, unsigned xf, double v);
ByteVec rkCell(unsigned row, unsigned col, unsigned xf, uint32_t rk);
ByteVec sstCell(unsigned row, unsigned col, unsigned xf, uint32_t index);
ByteVec boolErrCell(unsigned row, unsigned col, bool isError, unsigned value);
// A formula whose 8 result bytes are given; the formula itself is empty.
ByteVec formulaCell(unsigned row, unsigned col, unsigned xf, const ByteVec& result8);

struct SheetLayout {
  ByteVec name;      // unicodeString(.., false) for BIFF8, byteString(.., false) for BIFF5
  uint8_t kind = 0;  // 0 worksheet, 1 macro sheet, 2 chart, 6 module
  std::vector<ByteVec> records;
};

struct BookLayout {
  bool biff8 = true;
  std::vector<ByteVec> globals;  // after the BOF, before the sheet list
  std::vector<SheetLayout> sheets;
};

// A whole workbook stream: globals with the sheet list, then each sheet's
// substream, with the sheet offsets filled in.
ByteVec buildStream(const BookLayout& layout);

// A compound file holding the given streams at its root.
struct NamedStream {
  const char* name;
  ByteVec bytes;
};
ByteVec compoundFile(const std::vector<NamedStream>& streams);
inline ByteVec compoundFile(const ByteVec& stream, const char* name = "Workbook") {
  return compoundFile({{name, stream}});
}

ByteVec readTestFile(const std::string& relativePath);  // below GZ_TEST_DATA

std::unique_ptr<Workbook> readStream(const ByteVec& stream, bool bookStream = false);

// The operator's message of the WorkbookError thrown, or "" when none is.
std::string errorOf(const ByteVec& fileBytes);

}  // namespace gz::sheet::testing
