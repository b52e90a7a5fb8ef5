// Conversions between GBK (code page 936) and Unicode.
//
// One compiled-in table serves every platform, so the results do not depend
// on iconv, ICU or the system locale. Conversions never fail: a sequence that
// cannot be converted is replaced and counted, so callers can say what was lost.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class QString;

namespace gz::text {

struct ConversionReport {
  std::size_t replaced = 0;        // sequences that could not be converted
  std::size_t firstBadOffset = 0;  // input offset (bytes or code units) of the first one
  bool ok() const { return replaced == 0; }
};

// GBK -> Unicode. An invalid or unmapped byte sequence becomes U+FFFD.
std::u16string gbkToUtf16(std::string_view gbk, ConversionReport* report = nullptr);
std::string gbkToUtf8(std::string_view gbk, ConversionReport* report = nullptr);

// Unicode -> GBK. A character GBK cannot hold becomes "?"; invalid UTF-8 or an
// unpaired surrogate too.
std::string utf16ToGbk(std::u16string_view utf16, ConversionReport* report = nullptr);
std::string utf8ToGbk(std::string_view utf8, ConversionReport* report = nullptr);

// True when `s` is well-formed UTF-8 (ASCII-only text counts as UTF-8).
bool isValidUtf8(std::string_view s);

// Qt edges (widgets, Qt SQL): QString is UTF-16.
QString gbkToQString(std::string_view gbk);
std::string qStringToGbk(const QString& s, ConversionReport* report = nullptr);

// 8-bit text of old workbooks (the BIFF5 CODEPAGE record) to GBK through
// Unicode. 936 is GBK itself (copied, invalid sequences counted); 1252, 1251
// and 10000 (Mac Roman) are converted exactly; 367 and 20127 are ASCII.
// Returns false for any other code page: its text is then converted as
// Windows-1252 and the caller can say so.
bool codePageToGbk(int codePage, std::string_view bytes, std::string& out,
                   ConversionReport* report = nullptr);

}  // namespace gz::text
