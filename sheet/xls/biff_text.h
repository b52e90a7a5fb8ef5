// Strings inside BIFF records.
//
// BIFF8 strings are Unicode: a character count, an option byte (bit 0: two
// bytes per character, else one byte holding the low half; bit 2: phonetic
// data follows; bit 3: rich-text runs follow), the characters, then the runs
// and the phonetic data, which are skipped. A string may be split across a
// record and its CONTINUE records; where the characters are split, the next
// part opens with a fresh option byte for the characters that remain.
// BIFF5 strings are 8-bit text in the workbook's code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sheet/xls/biff_records.h"

namespace gz::sheet::biff {

// Reads fields from a record payload and its continuations as one sequence.
// Every read past the last part throws ReadError.
class PartsReader {
 public:
  explicit PartsReader(std::vector<Bytes> parts);
  explicit PartsReader(Bytes single) : PartsReader(std::vector<Bytes>{single}) {}
  // Reads parts someone else keeps (they must outlive the reader).
  struct Borrow {};
  PartsReader(Borrow, std::span<const Bytes> parts);
  PartsReader(const PartsReader&) = delete;  // `parts_` may point into `owned_`
  PartsReader& operator=(const PartsReader&) = delete;

  uint8_t u8();
  uint16_t u16();
  uint32_t u32();
  void skip(std::size_t n);
  bool atEnd();
  // `count` characters of a BIFF8 string whose option byte said `wide`,
  // appended to `out` (skipped when it is null).
  void chars(std::size_t count, bool wide, std::u16string* out);
  // `count` raw bytes (BIFF5 text).
  void bytes(std::size_t count, std::string& out);

  struct Position {
    uint32_t part = 0;
    uint32_t offset = 0;
  };
  Position position() const { return {static_cast<uint32_t>(part_), static_cast<uint32_t>(pos_)}; }
  void seek(Position at);  // to a position position() gave

 private:
  std::size_t leftInPart() const { return parts_[part_].size() - pos_; }
  // Moves to the next part when the current one is used up; false at the end.
  bool advance();

  std::vector<Bytes> owned_;
  std::span<const Bytes> parts_;
  std::size_t part_ = 0;
  std::size_t pos_ = 0;
};

enum class StringLength { OneByte, TwoBytes };

// A BIFF8 Unicode string (with rich-text runs and phonetic data skipped).
std::u16string readUnicodeString(PartsReader& r, StringLength length);
// Moves past one without keeping its characters.
void skipUnicodeString(PartsReader& r, StringLength length);
// A BIFF5 string: the length, then that many bytes in the code page.
std::string readByteString(PartsReader& r, StringLength length);

// A workbook text in GB 18030; `unreadable` when the file held malformed
// text (an unpaired surrogate, bytes that are no character of the code page),
// which is then shown with U+FFFD in its place.
struct DecodedText {
  std::string text;
  bool unreadable = false;
};

// Turns the workbook's texts into GB 18030.
class TextDecoder {
 public:
  // `codePage` as the CODEPAGE record gives it (BIFF5 only uses it).
  explicit TextDecoder(int codePage = 1252);
  DecodedText fromUnicode(std::u16string_view text) const;
  DecodedText fromCodePage(std::string_view bytes) const;
  // False when the code page is not one the conversion knows; its text is
  // then read as Western European (code page 1252).
  bool codePageKnown() const { return known_; }
  int codePage() const { return codePage_; }

 private:
  int codePage_;
  bool known_;
};

}  // namespace gz::sheet::biff
