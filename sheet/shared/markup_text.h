// The character set of an XML or HTML workbook, and its bytes made ready for
// libxml2.
//
// Pages and XML files from Chinese systems often declare "gb2312" while
// holding characters only GBK has (镕, 喆), or declare nothing and are in the
// system code page. libxml2 would decode such a declaration with the strict
// GB 2312 table and stop at the first such character, so text in the GB
// family, UTF-8 text and undeclared text are converted here, losslessly, and
// handed over as UTF-8 with the document's own declaration ignored. Other
// declared character sets (windows-1252, big5, UTF-16 with its byte order
// mark) are left to libxml2.
#pragma once

#include <string>
#include <string_view>

namespace gz::sheet {

enum class MarkupKind { Xml, Html };

struct MarkupBytes {
  std::string_view bytes;       // what to parse: `converted`, or the input itself
  const char* encoding = nullptr;  // to hand to libxml2 with its ignore-encoding option; null: its own choice
  // Some bytes were no character of the document's character set; they are
  // U+FFFD in the text, and a cell holding one is unreadable.
  bool malformed = false;
  std::string converted;

  MarkupBytes() = default;
  MarkupBytes(const MarkupBytes&) = delete;
  MarkupBytes& operator=(const MarkupBytes&) = delete;
};

// The character set a document declares (lower case, "" when none): the
// encoding of an XML declaration, or for HTML also a <meta charset> or
// <meta http-equiv content="...; charset=..."> near the start.
std::string declaredCharset(std::string_view bytes, MarkupKind kind);

// Fills `out` for parsing `bytes`, which must outlive it.
void prepareMarkup(std::string_view bytes, MarkupKind kind, MarkupBytes& out);

// A text the parser gave (UTF-8) as GB 18030. `unreadable` when the
// document held malformed bytes and this text shows one of them as U+FFFD.
std::string markupTextToGb18030(std::string_view utf8, const MarkupBytes& document, bool& unreadable);

}  // namespace gz::sheet
