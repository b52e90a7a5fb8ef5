#include "sheet/xlsx/escaped_text.h"

#include "text/gb18030.h"

namespace gz::sheet {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The four hex digits of "_xHHHH_" at `pos`, or -1.
int escapeAt(std::string_view s, std::size_t pos) {
  if (pos + 7 > s.size() || s[pos] != '_' || s[pos + 1] != 'x' || s[pos + 6] != '_') return -1;
  int v = 0;
  for (std::size_t i = pos + 2; i < pos + 6; ++i) {
    const int d = hexDigit(s[i]);
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

}  // namespace

std::string unescapeXlsxString(std::string_view s, bool* unpairedSurrogate) {
  if (s.find("_x") == std::string_view::npos) return std::string(s);
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    int cp = escapeAt(s, i);
    if (cp < 0) {
      out += s[i++];
      continue;
    }
    i += 7;
    // A UTF-16 surrogate pair arrives as two escapes.
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      const int low = escapeAt(s, i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        i += 7;
      } else {
        cp = 0xFFFD;
        if (unpairedSurrogate) *unpairedSurrogate = true;
      }
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      cp = 0xFFFD;
      if (unpairedSurrogate) *unpairedSurrogate = true;
    } else if (cp == 0) {
      continue;  // a NUL would cut the text short further on
    }
    text::appendUtf8(static_cast<char32_t>(cp), out);
  }
  return out;
}

}  // namespace gz::sheet
