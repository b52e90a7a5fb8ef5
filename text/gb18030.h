// Conversions between GB 18030-2022, the byte text used inside the core, and
// Unicode.
//
// GB 18030 holds every Unicode character: GBK's characters keep their one or
// two GBK bytes, every other character of the Basic Multilingual Plane takes
// four bytes (a few two), and every supplementary character four bytes
// computed from its code point. So text converts both ways without loss; only
// malformed input (bytes that are no GB 18030 sequence, invalid UTF-8, an
// unpaired surrogate) cannot, and is then replaced by U+FFFD and counted, so
// callers can refuse it instead of storing a changed text.
//
// One compiled-in table serves every platform, so the results do not depend
// on iconv, ICU or the system locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class QString;

namespace gz::text {

struct ConversionReport {
  std::size_t replaced = 0;        // malformed sequences replaced by U+FFFD
  std::size_t firstBadOffset = 0;  // input offset (bytes or code units) of the first one
  bool ok() const { return replaced == 0; }
};

std::u16string gb18030ToUtf16(std::string_view gb, ConversionReport* report = nullptr);
std::string gb18030ToUtf8(std::string_view gb, ConversionReport* report = nullptr);
std::string utf16ToGb18030(std::u16string_view utf16, ConversionReport* report = nullptr);
std::string utf8ToGb18030(std::string_view utf8, ConversionReport* report = nullptr);

// Qt edges (widgets, Qt SQL): QString is UTF-16.
QString gb18030ToQString(std::string_view gb, ConversionReport* report = nullptr);
std::string qStringToGb18030(const QString& s, ConversionReport* report = nullptr);

// Appends the UTF-8 form of `c`. A surrogate keeps its three-byte form, which
// is no valid UTF-8, so text holding one is later found unreadable.
void appendUtf8(char32_t c, std::string& out);

bool isValidUtf8(std::string_view s);
bool isValidGb18030(std::string_view s);

// The number of bytes of the character that starts at `pos`: 1, 2 or 4. A
// byte that starts no well-formed sequence counts as 1.
std::size_t characterLength(std::string_view gb, std::size_t pos);

// 8-bit text of old workbooks (the BIFF5 CODEPAGE record) to GB 18030.
// 936 (GBK) keeps its bytes, but for the euro sign, which GBK writes as the
// single byte 0x80 and GB 18030 as A2E3; a byte sequence that is no GBK
// character is replaced and counted. 1252, 1251 and 10000 (Mac Roman) are
// converted exactly (undefined bytes as the C1 control of that number, as
// Windows does); 367 and 20127 are ASCII. Returns false for any other code
// page: its text is then converted as Windows-1252 and the caller can say so.
bool codePageToGb18030(int codePage, std::string_view bytes, std::string& out, ConversionReport* report = nullptr);

}  // namespace gz::text
