#include "text/gbk.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

#include "text/gbk_tables.h"

namespace gz::text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr unsigned char kEuroByte = 0x80;
constexpr char16_t kEuro = 0x20AC;

void noteReplaced(ConversionReport* report, std::size_t offset) {
  if (!report) return;
  if (report->replaced == 0) report->firstBadOffset = offset;
  ++report->replaced;
}

bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// One character read from a byte text: its Unicode (kInvalid when it has
// none) and the bytes it takes.
struct Decoded {
  char32_t code;
  std::size_t length;
};

// A lead byte without a trail byte after it is invalid on its own, so the
// byte after it is read afresh and ASCII is never swallowed.
Decoded readGbk(std::string_view s, std::size_t pos) {
  const auto b = static_cast<unsigned char>(s[pos]);
  if (b < 0x80) return {b, 1};
  if (b == kEuroByte) return {kEuro, 1};
  if (!isLeadByte(b)) return {kInvalid, 1};
  if (pos + 1 >= s.size()) return {kInvalid, 1};
  const auto t = static_cast<unsigned char>(s[pos + 1]);
  if (!isTrailByte(t)) return {kInvalid, 1};
  const uint16_t u = detail::kCp936[(b - detail::kCp936FirstLead) * detail::kCp936Trails +
                                    (t - detail::kCp936FirstTrail)];
  return {u != 0 ? char32_t{u} : kInvalid, 2};
}

// Unicode (BMP) -> GBK code: one byte below 0x100, two bytes above, 0 for none.
// Built once from the decoding table; static initialisation is thread-safe.
const std::array<uint16_t, 0x10000>& unicodeToGbk() {
  static const std::unique_ptr<std::array<uint16_t, 0x10000>> table = [] {
    auto t = std::make_unique<std::array<uint16_t, 0x10000>>();
    t->fill(0);
    for (int lead = 0; lead < detail::kCp936Leads; ++lead) {
      for (int trail = 0; trail < detail::kCp936Trails; ++trail) {
        const uint16_t u = detail::kCp936[lead * detail::kCp936Trails + trail];
        if (u != 0 && (*t)[u] == 0)
          (*t)[u] = static_cast<uint16_t>(((lead + detail::kCp936FirstLead) << 8) |
                                          (trail + detail::kCp936FirstTrail));
      }
    }
    (*t)[kEuro] = kEuroByte;
    return t;
  }();
  return *table;
}

// Appends the GBK bytes of one Unicode character; false when GBK has none.
bool appendGbk(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return true;
  }
  if (c > 0xFFFF) return false;
  const uint16_t g = unicodeToGbk()[c];
  if (g == 0) return false;
  if (g > 0xFF) out += static_cast<char>(g >> 8);
  out += static_cast<char>(g & 0xFF);
  return true;
}

void appendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// One UTF-8 character from `pos`. A malformed sequence gives kInvalid with
// the length of its longest well-formed start (at least 1), so one bad spot
// is replaced once and the next good character is not lost.
Decoded readUtf8(std::string_view s, std::size_t pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) return {b0, 1};
  std::size_t need;
  char32_t code;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1, code = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2, code = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;  // overlong
    if (b0 == 0xED) hi = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3, code = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;  // overlong
    if (b0 == 0xF4) hi = 0x8F;  // above U+10FFFF
  } else {
    return {kInvalid, 1};
  }
  std::size_t i = 1;
  for (; i <= need; ++i) {
    if (pos + i >= s.size()) return {kInvalid, i};
    const auto b = static_cast<unsigned char>(s[pos + i]);
    const unsigned char min = i == 1 ? lo : 0x80;
    const unsigned char max = i == 1 ? hi : 0xBF;
    if (b < min || b > max) return {kInvalid, i};
    code = (code << 6) | (b & 0x3F);
  }
  return {code, need + 1};
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

const uint16_t* highHalfTable(int codePage) {
  switch (codePage) {
    case 1252: return detail::kWindows1252High;
    case 1251: return detail::kWindows1251High;
    case 10000: return detail::kMacRomanHigh;
    default: return nullptr;
  }
}

}  // namespace

std::u16string gbkToUtf16(std::string_view gbk, ConversionReport* report) {
  std::u16string out;
  out.reserve(gbk.size());
  for (std::size_t pos = 0; pos < gbk.size();) {
    const Decoded c = readGbk(gbk, pos);
    if (c.code == kInvalid) {
      noteReplaced(report, pos);
      out += static_cast<char16_t>(kReplacement);
    } else {
      out += static_cast<char16_t>(c.code);
    }
    pos += c.length;
  }
  return out;
}

std::string gbkToUtf8(std::string_view gbk, ConversionReport* report) {
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  for (std::size_t pos = 0; pos < gbk.size();) {
    const Decoded c = readGbk(gbk, pos);
    if (c.code == kInvalid) {
      noteReplaced(report, pos);
      appendUtf8(kReplacement, out);
    } else {
      appendUtf8(c.code, out);
    }
    pos += c.length;
  }
  return out;
}

std::string utf16ToGbk(std::u16string_view utf16, ConversionReport* report) {
  std::string out;
  out.reserve(utf16.size() * 2);
  for (std::size_t pos = 0; pos < utf16.size();) {
    const char16_t c = utf16[pos];
    std::size_t length = 1;
    bool converted = false;
    if (isHighSurrogate(c) && pos + 1 < utf16.size() && isLowSurrogate(utf16[pos + 1])) {
      length = 2;  // a character beyond the BMP: GBK has none of them
    } else if (!isHighSurrogate(c) && !isLowSurrogate(c)) {
      converted = appendGbk(c, out);
    }
    if (!converted) {
      noteReplaced(report, pos);
      out += '?';
    }
    pos += length;
  }
  return out;
}

std::string utf8ToGbk(std::string_view utf8, ConversionReport* report) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Decoded c = readUtf8(utf8, pos);
    if (c.code == kInvalid || !appendGbk(c.code, out)) {
      noteReplaced(report, pos);
      out += '?';
    }
    pos += c.length;
  }
  return out;
}

bool isValidUtf8(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const Decoded c = readUtf8(s, pos);
    if (c.code == kInvalid) return false;
    pos += c.length;
  }
  return true;
}

QString gbkToQString(std::string_view gbk) {
  const std::u16string utf16 = gbkToUtf16(gbk);
  return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size()));
}

std::string qStringToGbk(const QString& s, ConversionReport* report) {
  return utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()),
                                        static_cast<std::size_t>(s.size())),
                    report);
}

bool codePageToGbk(int codePage, std::string_view bytes, std::string& out,
                   ConversionReport* report) {
  out.clear();
  if (codePage == 936) {
    // Already GBK: kept byte for byte, only its invalid sequences counted.
    for (std::size_t pos = 0; pos < bytes.size();) {
      const Decoded c = readGbk(bytes, pos);
      if (c.code == kInvalid) noteReplaced(report, pos);
      pos += c.length;
    }
    out.assign(bytes);
    return true;
  }

  const bool asciiOnly = codePage == 367 || codePage == 20127;
  const uint16_t* high = highHalfTable(codePage);
  const bool known = asciiOnly || high != nullptr;
  if (!known) high = detail::kWindows1252High;

  out.reserve(bytes.size());
  for (std::size_t pos = 0; pos < bytes.size(); ++pos) {
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      continue;
    }
    const char32_t u = asciiOnly ? 0 : high[b - 0x80];
    if (u == 0 || !appendGbk(u, out)) {
      noteReplaced(report, pos);
      out += '?';
    }
  }
  return known;
}

}  // namespace gz::text
