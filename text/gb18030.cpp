#include "text/gb18030.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>

#include "text/gb18030_tables.h"

namespace gz::text {

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

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr std::string_view kReplacementGb = "\x84\x31\xA4\x37";  // U+FFFD
constexpr char32_t kEuro = 0x20AC;
constexpr unsigned char kCp936Euro = 0x80;
constexpr uint32_t kSupplementaryFirstIndex = 189000;  // linear index of 0x90308130, U+10000
constexpr char32_t kLastScalar = 0x10FFFF;

void noteReplaced(ConversionReport* report, std::size_t offset) {
  if (!report) return;
  if (report->replaced == 0) report->firstBadOffset = offset;
  ++report->replaced;
}

bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
bool isDigitByte(unsigned char b) { return b >= 0x30 && b <= 0x39; }
bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// One character read from a text: its Unicode (kInvalid when it has none)
// and the bytes or code units it takes.
struct Decoded {
  char32_t code;
  std::size_t length;
};

char32_t bmpOfFourByteIndex(uint32_t index) {
  const auto* runs = detail::kGb18030FourByteRuns;
  const auto* end = runs + detail::kFourByteRunCount;
  const auto* run =
      std::upper_bound(runs, end, index, [](uint32_t i, const detail::FourByteRun& r) { return i < r.index; });
  --run;  // the runs cover every index from 0 without a gap
  return char32_t{run->unicode} + (index - run->index);
}

// A lead byte that starts no complete sequence is invalid on its own, so the
// byte after it is read afresh and ASCII is never swallowed.
Decoded readGb18030(std::string_view s, std::size_t pos) {
  const auto b1 = static_cast<unsigned char>(s[pos]);
  if (b1 < 0x80) return {b1, 1};
  if (!isLeadByte(b1) || pos + 1 >= s.size()) return {kInvalid, 1};
  const auto b2 = static_cast<unsigned char>(s[pos + 1]);
  if (isTrailByte(b2)) {
    const uint16_t u = detail::kGb18030TwoByte[(b1 - detail::kTwoByteFirstLead) * detail::kTwoByteTrails +
                                               (b2 - detail::kTwoByteFirstTrail)];
    return {char32_t{u}, 2};
  }
  if (!isDigitByte(b2) || pos + 3 >= s.size()) return {kInvalid, 1};
  const auto b3 = static_cast<unsigned char>(s[pos + 2]);
  const auto b4 = static_cast<unsigned char>(s[pos + 3]);
  if (!isLeadByte(b3) || !isDigitByte(b4)) return {kInvalid, 1};
  const uint32_t index = (((b1 - 0x81u) * 10 + (b2 - 0x30u)) * 126 + (b3 - 0x81u)) * 10 + (b4 - 0x30u);
  if (index < detail::kFourByteBmpCount) return {bmpOfFourByteIndex(index), 4};
  if (index >= kSupplementaryFirstIndex && index - kSupplementaryFirstIndex <= kLastScalar - 0x10000)
    return {0x10000 + (index - kSupplementaryFirstIndex), 4};
  return {kInvalid, 4};  // well formed, but no character has that code
}

void appendFourByte(uint32_t index, std::string& out) {
  char b[4];
  b[3] = static_cast<char>(0x30 + index % 10);
  index /= 10;
  b[2] = static_cast<char>(0x81 + index % 126);
  index /= 126;
  b[1] = static_cast<char>(0x30 + index % 10);
  b[0] = static_cast<char>(0x81 + index / 10);
  out.append(b, 4);
}

// Unicode (BMP) -> code: a two-byte code, or kFourByteFlag | linear index.
// Built once from the decoding tables; static initialisation is thread-safe.
constexpr uint32_t kFourByteFlag = 0x80000000u;
const std::array<uint32_t, 0x10000>& bmpEncoding() {
  static const std::unique_ptr<std::array<uint32_t, 0x10000>> table = [] {
    auto t = std::make_unique<std::array<uint32_t, 0x10000>>();
    t->fill(0);
    for (int lead = 0; lead < detail::kTwoByteLeads; ++lead) {
      for (int trail = 0; trail < detail::kTwoByteTrails; ++trail) {
        const uint16_t u = detail::kGb18030TwoByte[lead * detail::kTwoByteTrails + trail];
        if (u != 0)
          (*t)[u] =
              static_cast<uint32_t>(((lead + detail::kTwoByteFirstLead) << 8) | (trail + detail::kTwoByteFirstTrail));
      }
    }
    for (const detail::FourByteRun& r : detail::kGb18030FourByteRuns)
      for (uint32_t i = 0; i < r.length; ++i) (*t)[r.unicode + i] = kFourByteFlag | (r.index + i);
    return t;
  }();
  return *table;
}

// Appends the bytes of one Unicode scalar value (never a surrogate).
void appendGb18030(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c > 0xFFFF) {
    appendFourByte(kSupplementaryFirstIndex + (c - 0x10000), out);
  } else {
    const uint32_t code = bmpEncoding()[c];
    if (code & kFourByteFlag) {
      appendFourByte(code & ~kFourByteFlag, out);
    } else {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    }
  }
}

void appendUtf16(char32_t c, std::u16string& out) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
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

Decoded readUtf16(std::u16string_view s, std::size_t pos) {
  const char16_t c = s[pos];
  if (isHighSurrogate(c) && pos + 1 < s.size() && isLowSurrogate(s[pos + 1]))
    return {0x10000 + ((char32_t{c} - 0xD800) << 10) + (char32_t{s[pos + 1]} - 0xDC00), 2};
  if (isSurrogate(c)) return {kInvalid, 1};
  return {c, 1};
}

const uint16_t* highHalfTable(int codePage) {
  switch (codePage) {
    case 1252: return detail::kWindows1252High;
    case 1251: return detail::kWindows1251High;
    case 10000: return detail::kMacRomanHigh;
    default: return nullptr;
  }
}

// The GB 18030 text of any Unicode text read character by character.
// The length of the run of ASCII bytes at `pos`: they are the same bytes in
// GB 18030 and UTF-8, so a run is copied whole.
std::size_t asciiRun(std::string_view s, std::size_t pos) {
  std::size_t end = pos;
  while (end < s.size() && static_cast<unsigned char>(s[end]) < 0x80) ++end;
  return end - pos;
}

template <typename Text, typename Read>
std::string toGb18030(Text in, Read read, ConversionReport* report) {
  std::string out;
  out.reserve(in.size() * 2);
  for (std::size_t pos = 0; pos < in.size();) {
    if constexpr (std::is_same_v<Text, std::string_view>) {
      if (const std::size_t run = asciiRun(in, pos)) {
        out.append(in, pos, run);
        pos += run;
        continue;
      }
    }
    const Decoded c = read(in, pos);
    if (c.code == kInvalid) {
      noteReplaced(report, pos);
      out += kReplacementGb;
    } else {
      appendGb18030(c.code, out);
    }
    pos += c.length;
  }
  return out;
}

template <typename Out, typename Append>
Out fromGb18030(std::string_view gb, Append append, ConversionReport* report) {
  Out out;
  out.reserve(gb.size() + gb.size() / 2);
  for (std::size_t pos = 0; pos < gb.size();) {
    if constexpr (std::is_same_v<Out, std::string>) {
      if (const std::size_t run = asciiRun(gb, pos)) {
        out.append(gb, pos, run);
        pos += run;
        continue;
      }
    }
    const Decoded c = readGb18030(gb, pos);
    if (c.code == kInvalid) {
      noteReplaced(report, pos);
      append(kReplacement, out);
    } else {
      append(c.code, out);
    }
    pos += c.length;
  }
  return out;
}

}  // namespace

std::u16string gb18030ToUtf16(std::string_view gb, ConversionReport* report) {
  return fromGb18030<std::u16string>(gb, appendUtf16, report);
}

std::string gb18030ToUtf8(std::string_view gb, ConversionReport* report) {
  return fromGb18030<std::string>(gb, appendUtf8, report);
}

std::string utf16ToGb18030(std::u16string_view utf16, ConversionReport* report) {
  return toGb18030(utf16, readUtf16, report);
}

std::string utf8ToGb18030(std::string_view utf8, ConversionReport* report) { return toGb18030(utf8, readUtf8, report); }

bool isValidUtf8(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const Decoded c = readUtf8(s, pos);
    if (c.code == kInvalid) return false;
    pos += c.length;
  }
  return true;
}

bool isValidGb18030(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const Decoded c = readGb18030(s, pos);
    if (c.code == kInvalid) return false;
    pos += c.length;
  }
  return true;
}

std::size_t characterLength(std::string_view gb, std::size_t pos) {
  const Decoded c = readGb18030(gb, pos);
  return c.code == kInvalid ? 1 : c.length;
}

QString gb18030ToQString(std::string_view gb, ConversionReport* report) {
  const std::u16string utf16 = gb18030ToUtf16(gb, report);
  return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size()));
}

std::string qStringToGb18030(const QString& s, ConversionReport* report) {
  return utf16ToGb18030(
      std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())), report);
}

bool codePageToGb18030(int codePage, std::string_view bytes, std::string& out, ConversionReport* report) {
  out.clear();
  out.reserve(bytes.size());
  if (codePage == 936) {
    for (std::size_t pos = 0; pos < bytes.size();) {
      const auto b = static_cast<unsigned char>(bytes[pos]);
      if (b < 0x80) {
        out += static_cast<char>(b);
        ++pos;
      } else if (b == kCp936Euro) {
        appendGb18030(kEuro, out);
        ++pos;
      } else if (isLeadByte(b) && pos + 1 < bytes.size() && isTrailByte(static_cast<unsigned char>(bytes[pos + 1]))) {
        out.append(bytes.substr(pos, 2));
        pos += 2;
      } else {
        noteReplaced(report, pos);
        out += kReplacementGb;
        ++pos;
      }
    }
    return true;
  }

  const bool asciiOnly = codePage == 367 || codePage == 20127;
  const uint16_t* high = highHalfTable(codePage);
  const bool known = asciiOnly || high != nullptr;
  if (!known) high = detail::kWindows1252High;
  for (std::size_t pos = 0; pos < bytes.size(); ++pos) {
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (b < 0x80) {
      out += static_cast<char>(b);
    } else if (asciiOnly) {
      noteReplaced(report, pos);
      out += kReplacementGb;
    } else {
      appendGb18030(high[b - 0x80], out);
    }
  }
  return known;
}

}  // namespace gz::text
