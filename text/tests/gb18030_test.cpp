#include "text/gb18030.h"

#include <gtest/gtest.h>

#include <QString>

#include <cctype>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <iconv.h>
#endif

namespace gz::text {
namespace {

// 汉字 in GBK and UTF-8.
const std::string kHanziGbk = "\xBA\xBA\xD7\xD6";
const std::string kHanziUtf8 = "\xE6\xB1\x89\xE5\xAD\x97";
const std::string kReplacementGb = "\x84\x31\xA4\x37";  // U+FFFD

// Written out here rather than through the code under test.
std::string utf8Of(char32_t c) {
  std::string out;
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
  return out;
}

std::string hexOf(const std::string& bytes) {
  std::string out;
  char b[3];
  for (unsigned char c : bytes) {
    std::snprintf(b, sizeof b, "%02X", c);
    out += b;
  }
  return out;
}

TEST(Gb18030, GbkTextKeepsItsBytes) {
  const std::string gbk = "ID " + kHanziGbk +
                          " \xA1\xA1"
                          "3.06";  // with a full-width blank
  ConversionReport toUnicode, back;
  const std::string utf8 = gb18030ToUtf8(gbk, &toUnicode);
  EXPECT_EQ(utf8, "ID " + kHanziUtf8 +
                      " \xE3\x80\x80"
                      "3.06");
  EXPECT_EQ(utf8ToGb18030(utf8, &back), gbk);
  EXPECT_TRUE(toUnicode.ok());
  EXPECT_TRUE(back.ok());

  EXPECT_EQ(gb18030ToUtf16(kHanziGbk), u"\u6C49\u5B57");
  EXPECT_EQ(utf16ToGb18030(u"\u6C49\u5B57"), kHanziGbk);
  EXPECT_EQ(gb18030ToQString(kHanziGbk), QString::fromUtf8(kHanziUtf8.c_str()));
  EXPECT_EQ(qStringToGb18030(QString::fromUtf8(kHanziUtf8.c_str())), kHanziGbk);
  // The middle dot of minority names and the dash, whose codes differ between GBK variants.
  EXPECT_EQ(utf16ToGb18030(u"\u00B7\u2014\u2015"), "\xA1\xA4\xA1\xAA\xA8\x44");
}

TEST(Gb18030, NamedCharactersHaveTheirCodes) {
  struct Row {
    const char* name;
    char32_t unicode;
    std::string bytes;
  };
  const Row rows[] = {
      {"ASCII", U'A', "A"},
      {"first four-byte code", 0x0080, "\x81\x30\x81\x30"},
      {"Latin letter outside GBK", 0x00C6, "\x81\x30\x87\x34"},  // Æ
      {"euro sign", 0x20AC, "\xA2\xE3"},
      {"extension A on a two-byte code", 0x4DAE, "\xFE\x9F"},  // 䶮
      {"replacement character", 0xFFFD, kReplacementGb},
      {"last BMP character", 0xFFFF, "\x84\x31\xA4\x39"},
      {"first supplementary character", 0x10000, "\x90\x30\x81\x30"},
      {"extension C", 0x2B5AF, "\x98\x38\xF5\x37"},  // 𫖯
      {"extension E", 0x2C317, "\x99\x31\xD2\x39"},  // 𬌗
      {"last scalar value", 0x10FFFF, "\xE3\x32\x9A\x35"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(utf8ToGb18030(utf8Of(r.unicode)), r.bytes);
    ConversionReport report;
    EXPECT_EQ(gb18030ToUtf8(r.bytes, &report), utf8Of(r.unicode));
    EXPECT_TRUE(report.ok());
  }
}

// The 2005 edition moved U+1E3F and the 2022 edition 18 more characters out
// of the private use area onto two-byte codes; each private-use character
// took the four-byte code the moved one had.
struct Remapped {
  const char* name;
  std::string twoByte;
  char32_t now;
  char32_t privateUse;
};
const std::vector<Remapped> kRemapped = {
    {"m with acute", "\xA8\xBC", 0x1E3F, 0xE7C7},
    {"vertical comma", "\xA6\xD9", 0xFE10, 0xE78D},
    {"vertical ideographic comma", "\xA6\xDA", 0xFE12, 0xE78E},
    {"vertical ideographic full stop", "\xA6\xDB", 0xFE11, 0xE78F},
    {"vertical colon", "\xA6\xDC", 0xFE13, 0xE790},
    {"vertical semicolon", "\xA6\xDD", 0xFE14, 0xE791},
    {"vertical exclamation mark", "\xA6\xDE", 0xFE15, 0xE792},
    {"vertical question mark", "\xA6\xDF", 0xFE16, 0xE793},
    {"vertical left white lenticular bracket", "\xA6\xEC", 0xFE17, 0xE794},
    {"vertical right white lenticular bracket", "\xA6\xED", 0xFE18, 0xE795},
    {"vertical horizontal ellipsis", "\xA6\xF3", 0xFE19, 0xE796},
    {"CJK 9FB4", "\xFE\x59", 0x9FB4, 0xE81E},
    {"CJK 9FB5", "\xFE\x61", 0x9FB5, 0xE826},
    {"CJK 9FB6", "\xFE\x66", 0x9FB6, 0xE82B},
    {"CJK 9FB7", "\xFE\x67", 0x9FB7, 0xE82C},
    {"CJK 9FB8", "\xFE\x6D", 0x9FB8, 0xE832},
    {"CJK 9FB9", "\xFE\x7E", 0x9FB9, 0xE843},
    {"CJK 9FBA", "\xFE\x90", 0x9FBA, 0xE854},
    {"CJK 9FBB", "\xFE\xA0", 0x9FBB, 0xE864},
};

TEST(Gb18030, FollowsThe2022EditionWhereItMovedCharacters) {
  for (const Remapped& r : kRemapped) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(gb18030ToUtf8(r.twoByte), utf8Of(r.now));
    EXPECT_EQ(utf8ToGb18030(utf8Of(r.now)), r.twoByte);
    const std::string privateUse = utf8ToGb18030(utf8Of(r.privateUse));
    EXPECT_EQ(privateUse.size(), 4u);
    EXPECT_EQ(gb18030ToUtf8(privateUse), utf8Of(r.privateUse));
  }
}

// Every byte rule of the core stays exact: no byte of a multi-byte character
// can be taken for a blank, a control byte, a line break, a digit-or-lower
// first byte or the "." of a history line.
TEST(Gb18030, EveryScalarValueRoundTripsAndKeepsTheByteRules) {
  std::size_t counted[5] = {};
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string utf8 = utf8Of(c);
    ConversionReport in, out;
    const std::string gb = utf8ToGb18030(utf8, &in);
    ASSERT_TRUE(in.ok()) << std::hex << static_cast<uint32_t>(c);
    ASSERT_TRUE(gb.size() == 1 || gb.size() == 2 || gb.size() == 4) << std::hex << static_cast<uint32_t>(c);
    ASSERT_EQ(gb18030ToUtf8(gb, &out), utf8) << std::hex << static_cast<uint32_t>(c);
    ASSERT_TRUE(out.ok()) << std::hex << static_cast<uint32_t>(c);
    ASSERT_EQ(characterLength(gb, 0), gb.size()) << std::hex << static_cast<uint32_t>(c);
    if (gb.size() > 1) {
      ASSERT_GT(static_cast<unsigned char>(gb[0]), '9') << std::hex << static_cast<uint32_t>(c);
      for (unsigned char b : gb) ASSERT_GE(b, 0x30) << std::hex << static_cast<uint32_t>(c);
    }
    ++counted[gb.size()];
  }
  EXPECT_EQ(counted[1], 0x80u);
  EXPECT_EQ(counted[2], 126u * 190u);
  EXPECT_EQ(counted[4], 0x10000u - 0x80 - 0x800 - 126 * 190 + 0x100000);
}

TEST(Gb18030, EveryTwoByteCodeIsACharacter) {
  std::size_t mapped = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      ConversionReport report;
      const std::u16string u = gb18030ToUtf16(code, &report);
      ASSERT_EQ(u.size(), 1u) << hexOf(code);
      ASSERT_TRUE(report.ok()) << hexOf(code);
      ASSERT_EQ(utf16ToGb18030(u), code) << hexOf(code);
      ++mapped;
    }
  }
  EXPECT_EQ(mapped, 126u * 190u);
}

TEST(Gb18030, MalformedBytesAreReplacedAndCounted) {
  struct Row {
    const char* name;
    std::string bytes;
    std::u16string expected;
    std::size_t replaced;
    std::size_t firstBad;
  };
  const std::vector<Row> rows = {
      {"lone lead byte at the end", "ab\xBA", u"ab\uFFFD", 1, 2},
      {"lead byte before a non-trail ASCII byte keeps the ASCII", "\xBA'x", u"\uFFFD'x", 1, 0},
      {"0x7F is no trail byte", "\xBA\x7F", u"\uFFFD\x7F", 1, 0},
      {"0x80 and 0xFF are no character",
       "\x80"
       "a\xFF",
       u"\uFFFDa\uFFFD", 2, 0},
      {"four-byte code cut short", "\x81\x30\x81",
       u"\uFFFD"
       u"0\uFFFD",
       2, 0},
      {"four-byte code with a bad third byte", "\x81\x30\x20\x30",
       u"\uFFFD"
       u"0 0",
       1, 0},
      {"four-byte code past the BMP ones", "\x84\x31\xA5\x30", u"\uFFFD", 1, 0},
      {"four-byte code past U+10FFFF", "\xE3\x32\x9A\x36", u"\uFFFD", 1, 0},
      {"lead digit without more",
       "x\xBA"
       "1",
       u"x\uFFFD"
       u"1",
       1, 1},
      {"good text after a bad byte", "\xFF\xBA\xBA", u"\uFFFD\u6C49", 1, 0},
      {"empty", "", u"", 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ConversionReport report;
    EXPECT_EQ(gb18030ToUtf16(r.bytes, &report), r.expected);
    EXPECT_EQ(report.replaced, r.replaced);
    EXPECT_EQ(report.firstBadOffset, r.firstBad);
    EXPECT_EQ(isValidGb18030(r.bytes), r.replaced == 0);
    ConversionReport utf8Report;
    EXPECT_EQ(gb18030ToUtf8(r.bytes, &utf8Report), QString::fromStdU16String(r.expected).toStdString());
    EXPECT_EQ(utf8Report.replaced, r.replaced);
  }
}

TEST(Gb18030, MalformedUnicodeIsReplacedAndCounted) {
  struct Row {
    const char* name;
    std::u16string utf16;
    std::string expected;
    std::size_t replaced;
    std::size_t firstBad;
  };
  const std::vector<Row> rows = {
      {"unpaired high surrogate", std::u16string(1, char16_t(0xD800)) + u"a", kReplacementGb + "a", 1, 0},
      {"unpaired low surrogate", u"a" + std::u16string(1, char16_t(0xDC00)), "a" + kReplacementGb, 1, 1},
      {"a pair is one character", u"\U0002C317", "\x99\x31\xD2\x39", 0, 0},
      {"a real replacement character is no failure", u"\uFFFD", kReplacementGb, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ConversionReport report;
    EXPECT_EQ(utf16ToGb18030(r.utf16, &report), r.expected);
    EXPECT_EQ(report.replaced, r.replaced);
    EXPECT_EQ(report.firstBadOffset, r.firstBad);
  }
}

TEST(Gb18030, MalformedUtf8IsRefusedAndReplacedOncePerSpot) {
  const std::string R = kReplacementGb;
  struct Row {
    const char* name;
    std::string utf8;
    bool valid;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"empty", "", true, ""},
      {"Chinese", kHanziUtf8, true, kHanziGbk},
      {"emoji", "\xF0\x9F\x98\x80", true, "\x94\x39\xFC\x36"},
      {"overlong slash", "\xC0\xAF", false, R + R},
      {"overlong three bytes", "\xE0\x80\xAF", false, R + R + R},
      {"encoded surrogate", "\xED\xA0\x80", false, R + R + R},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false, R + R + R + R},
      {"cut short at the end", "\xE6\xB1", false, R},
      {"cut short before ASCII",
       "\xE6\xB1"
       "a",
       false, R + "a"},
      {"stray continuation byte",
       "\x80"
       "a",
       false, R + "a"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(isValidUtf8(r.utf8), r.valid);
    ConversionReport report;
    EXPECT_EQ(utf8ToGb18030(r.utf8, &report), r.expected);
    EXPECT_EQ(report.ok(), r.valid);
  }
}

TEST(Gb18030, CharacterLengthOfEachForm) {
  const std::string text = "a\xBA\xBA\x99\x31\xD2\x39\xFF";
  EXPECT_EQ(characterLength(text, 0), 1u);
  EXPECT_EQ(characterLength(text, 1), 2u);
  EXPECT_EQ(characterLength(text, 3), 4u);
  EXPECT_EQ(characterLength(text, 7), 1u);  // malformed: one byte at a time
}

TEST(CodePageToGb18030, ConvertsTheOldWorkbookCodePages) {
  const std::string R = kReplacementGb;
  struct Row {
    const char* name;
    int codePage;
    std::string bytes;
    bool known;
    std::string expected;
    std::size_t replaced;
  };
  const std::vector<Row> rows = {
      {"Western European", 1252, "caf\xE9 \x80", true, "caf\xA8\xA6 \xA2\xE3", 0},
      {"a letter GBK lacks", 1252, "\xC5", true, "\x81\x30\x87\x33", 0},   // Å
      {"an undefined byte is its C1 control", 1252, "\x81", true, "\x81\x30\x81\x31", 0},
      {"Cyrillic", 1251, "\xC0\xE1", true, "\xA7\xA1\xA7\xD2", 0},   // Аб
      {"Mac Roman", 10000, "\x8E", true, "\xA8\xA6", 0},             // é
      {"ASCII refuses high bytes", 367, "ab\xE9", true, "ab" + R, 1},
      {"US-ASCII", 20127, "ab", true, "ab", 0},
      {"unknown code page is read as 1252", 437, "caf\xE9", false, "caf\xA8\xA6", 0},
      {"GBK keeps its bytes", 936, kHanziGbk, true, kHanziGbk, 0},
      {"GBK euro byte becomes the GB 18030 euro", 936, "\x80", true, "\xA2\xE3", 0},
      {"GBK lead byte without trail", 936, kHanziGbk + "\xBA", true, kHanziGbk + R, 1},
      {"GB 18030 four-byte form is no GBK", 936, "\x81\x30\x81\x30", true, R + "0" + R + "0", 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string out = "old";
    ConversionReport report;
    EXPECT_EQ(codePageToGb18030(r.codePage, r.bytes, out, &report), r.known);
    EXPECT_EQ(hexOf(out), hexOf(r.expected));
    EXPECT_EQ(report.replaced, r.replaced);
  }
}

#ifdef __GLIBC__
// Every character of code page 936 as the C library knows it keeps its two
// bytes: GBK text is GB 18030 text unchanged.
TEST(Gb18030, GbkCharactersOfTheCLibraryKeepTheirBytes) {
  iconv_t cd = iconv_open("UTF-16LE", "CP936");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::size_t agreed = 0;
  std::vector<std::string> differences;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      char16_t buf[4];
      char* inPtr = code.data();
      std::size_t inLeft = code.size();
      char* outPtr = reinterpret_cast<char*>(buf);
      std::size_t outLeft = sizeof buf;
      if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) continue;
      const std::u16string theirs(buf, (sizeof buf - outLeft) / sizeof(char16_t));
      if (utf16ToGb18030(theirs) == code) ++agreed;
      else differences.push_back(hexOf(code));
    }
  }
  iconv_close(cd);
  EXPECT_TRUE(differences.empty()) << differences.size() << " codes differ, first "
                                   << (differences.empty() ? "" : differences.front());
  EXPECT_GT(agreed, 21000u);
}
#endif

#ifndef _WIN32
// The whole table against Python's gb18030 codec, which follows the 2000
// edition: every scalar value must agree but for the moved characters above.
TEST(Gb18030, AgreesWithPythonsCodecExceptForTheMovedCharacters) {
  const char* script =
      "python3 -c \"import sys\n"
      "codes = (chr(c).encode('gb18030').hex() for c in range(0x80, 0x110000) if not 0xD800 <= c <= 0xDFFF)\n"
      "sys.stdout.write('\\n'.join(codes) + '\\n')\n\"";
  FILE* p = popen(script, "r");
  if (!p) GTEST_SKIP() << "python3 is not available";
  std::map<char32_t, std::string> expectedOverride;
  for (const Remapped& r : kRemapped) {
    expectedOverride[r.now] = r.twoByte;
    expectedOverride[r.privateUse] = "";  // some four-byte code: checked by the round trip
  }
  char line[32];
  std::size_t compared = 0;
  std::vector<std::string> differences;
  for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    if (!std::fgets(line, sizeof line, p)) break;
    std::string reference(line);
    if (!reference.empty() && reference.back() == '\n') reference.pop_back();
    const std::string ours = hexOf(utf8ToGb18030(utf8Of(c)));
    ++compared;
    if (auto o = expectedOverride.find(c); o != expectedOverride.end()) {
      if (!o->second.empty() && ours != hexOf(o->second)) differences.push_back(std::to_string(c));
      continue;
    }
    for (char& ch : reference) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (ours != reference && differences.size() < 20) differences.push_back(std::to_string(c) + ":" + ours);
  }
  const int status = pclose(p);
  if (compared == 0 && status != 0) GTEST_SKIP() << "python3 is not available";
  EXPECT_EQ(compared, 0x110000u - 0x80 - 0x800);
  EXPECT_TRUE(differences.empty()) << differences.front();
}
#endif

}  // namespace
}  // namespace gz::text
