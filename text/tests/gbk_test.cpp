#include "text/gbk.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdio>
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

TEST(GbkConversion, ChineseTextRoundTrips) {
  const std::string gbk = "ID " + kHanziGbk + " \xA1\xA1" "3.06";  // with a full-width blank
  ConversionReport toUnicode, back;
  const std::string utf8 = gbkToUtf8(gbk, &toUnicode);
  EXPECT_EQ(utf8, "ID " + kHanziUtf8 + " \xE3\x80\x80" "3.06");
  EXPECT_EQ(utf8ToGbk(utf8, &back), gbk);
  EXPECT_TRUE(toUnicode.ok());
  EXPECT_TRUE(back.ok());

  EXPECT_EQ(gbkToUtf16(kHanziGbk), u"\u6C49\u5B57");
  EXPECT_EQ(utf16ToGbk(u"\u6C49\u5B57"), kHanziGbk);
  EXPECT_EQ(gbkToQString(kHanziGbk), QString::fromUtf8(kHanziUtf8.c_str()));
  EXPECT_EQ(qStringToGbk(QString::fromUtf8(kHanziUtf8.c_str())), kHanziGbk);
}

TEST(GbkConversion, EuroSignIsTheSingleByte80) {
  EXPECT_EQ(gbkToUtf16("\x80"), u"\u20AC");
  EXPECT_EQ(utf8ToGbk("\xE2\x82\xAC"), "\x80");
  // Characters whose code differs between GBK variants.
  EXPECT_EQ(gbkToUtf16("\xA1\xA4\xA1\xAA"), u"\u00B7\u2014");
  EXPECT_EQ(utf16ToGbk(u"\u00B7\u2014"), "\xA1\xA4\xA1\xAA");
}

TEST(GbkConversion, EveryTwoByteCodeRoundTrips) {
  std::size_t mapped = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      ConversionReport report;
      const std::u16string u = gbkToUtf16(code, &report);
      ASSERT_EQ(u.size(), 1u) << std::hex << lead << trail;
      ASSERT_TRUE(report.ok()) << std::hex << lead << trail;
      ASSERT_EQ(utf16ToGbk(u), code) << std::hex << lead << trail;
      ++mapped;
    }
  }
  EXPECT_EQ(mapped, 126u * 190u);
}

TEST(GbkConversion, InvalidGbkIsReplacedAndCounted) {
  struct Case {
    std::string gbk;
    std::u16string expected;
    std::size_t replaced;
    std::size_t firstBad;
  };
  const std::vector<Case> cases = {
      {"ab\xBA", u"ab\uFFFD", 1, 2},               // lone lead byte at the end
      {"\xBA" "1", u"\uFFFD" u"1", 1, 0},          // trail byte below 0x40: ASCII kept
      {"\xBA'x", u"\uFFFD'x", 1, 0},               // a quote is never swallowed
      {"\xBA\x7F", u"\uFFFD\x7F", 1, 0},           // 0x7F is no trail byte
      {"\xFF" "a\xFF", u"\uFFFDa\uFFFD", 2, 0},    // 0xFF is never a character
      {"x\xBA\xBA\xBA", u"x\u6C49\uFFFD", 1, 3},
      {"", u"", 0, 0},
  };
  for (const auto& c : cases) {
    ConversionReport report;
    EXPECT_EQ(gbkToUtf16(c.gbk, &report), c.expected) << c.gbk;
    EXPECT_EQ(report.replaced, c.replaced) << c.gbk;
    EXPECT_EQ(report.firstBadOffset, c.firstBad) << c.gbk;
    ConversionReport utf8Report;
    EXPECT_EQ(gbkToUtf8(c.gbk, &utf8Report), QString::fromStdU16String(c.expected).toStdString());
    EXPECT_EQ(utf8Report.replaced, c.replaced) << c.gbk;
  }
}

TEST(GbkConversion, UnicodeWithoutGbkBecomesQuestionMark) {
  struct Case {
    std::u16string utf16;
    std::string expected;
    std::size_t replaced;
    std::size_t firstBad;
  };
  const std::vector<Case> cases = {
      {u"a\u00C5b", "a?b", 1, 1},                 // Å is not in GBK
      {u"\U0001F600x", "?x", 1, 0},               // a pair counts once
      {std::u16string(1, char16_t(0xD800)) + u"a", "?a", 1, 0},   // unpaired high
      {u"a" + std::u16string(1, char16_t(0xDC00)), "a?", 1, 1},   // unpaired low
      {u"\uFFFD", "?", 1, 0},
      {u"\u6C49", "\xBA\xBA", 0, 0},
  };
  for (const auto& c : cases) {
    ConversionReport report;
    EXPECT_EQ(utf16ToGbk(c.utf16, &report), c.expected);
    EXPECT_EQ(report.replaced, c.replaced) << c.expected;
    EXPECT_EQ(report.firstBadOffset, c.firstBad) << c.expected;
  }
  ConversionReport qtReport;
  EXPECT_EQ(qStringToGbk(QString::fromUtf16(u"\u00C5\u6C49"), &qtReport), "?\xBA\xBA");
  EXPECT_EQ(qtReport.replaced, 1u);
}

TEST(Utf8, MalformedSequencesAreRefusedAndReplacedOnce) {
  struct Case {
    std::string utf8;
    bool valid;
    std::string gbk;
  };
  const std::vector<Case> cases = {
      {"", true, ""},
      {"plain", true, "plain"},
      {kHanziUtf8, true, kHanziGbk},
      {"\xF0\x9F\x98\x80", true, "?"},            // valid, but not in GBK
      {"\xC0\xAF", false, "??"},                  // overlong "/"
      {"\xE0\x80\xAF", false, "???"},             // overlong
      {"\xED\xA0\x80", false, "???"},             // surrogate
      {"\xF4\x90\x80\x80", false, "????"},        // above U+10FFFF
      {"\xE6\xB1", false, "?"},                   // cut short at the end
      {"\xE6\xB1" "a", false, "?a"},              // cut short before ASCII
      {"\x80" "a", false, "?a"},                  // stray continuation byte
      {"\xFF", false, "?"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isValidUtf8(c.utf8), c.valid) << c.gbk;
    EXPECT_EQ(utf8ToGbk(c.utf8), c.gbk);
  }
}

TEST(CodePageToGbk, ConvertsTheOldWorkbookCodePages) {
  struct Case {
    int codePage;
    std::string bytes;
    bool known;
    std::string gbk;
    std::size_t replaced;
  };
  const std::vector<Case> cases = {
      {1252, "caf\xE9 \x80", true, "caf\xA8\xA6 \x80", 0},
      {1252, "\xC5", true, "?", 1},                  // Å has no GBK code
      {1252, "\x81", true, "?", 1},                  // unassigned in 1252
      {1251, "\xC0\xE1", true, "\xA7\xA1\xA7\xD2", 0},  // Аб
      {10000, "\x8E", true, "\xA8\xA6", 0},          // é in Mac Roman
      {367, "ab\xE9", true, "ab?", 1},
      {20127, "ab", true, "ab", 0},
      {437, "caf\xE9", false, "caf\xA8\xA6", 0},     // unknown: read as 1252
      {936, kHanziGbk + "\xBA", true, kHanziGbk + "\xBA", 1},  // kept, counted
  };
  for (const auto& c : cases) {
    std::string out = "old";
    ConversionReport report;
    EXPECT_EQ(codePageToGbk(c.codePage, c.bytes, out, &report), c.known) << c.codePage;
    EXPECT_EQ(out, c.gbk) << c.codePage << ' ' << c.bytes;
    EXPECT_EQ(report.replaced, c.replaced) << c.codePage << ' ' << c.bytes;
  }
}

#ifdef __GLIBC__
// Compares the compiled-in table with the C library's converter. The table
// also gives the user-defined and unassigned cells their private-use
// characters (U+E000-U+E864), which the C library refuses; every other code
// must agree.
TEST(GbkConversion, AgreesWithTheCLibraryConverter) {
  iconv_t cd = iconv_open("UTF-16LE", "CP936");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  auto viaIconv = [&](const std::string& in) -> std::u16string {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char16_t buf[4];
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = reinterpret_cast<char*>(buf);
    std::size_t outLeft = sizeof buf;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return {};
    return std::u16string(buf, (sizeof buf - outLeft) / sizeof(char16_t));
  };

  std::size_t privateUse = 0;
  std::vector<std::string> differences;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string ours = gbkToUtf16(code);
      const std::u16string theirs = viaIconv(code);
      if (ours == theirs) continue;
      if (theirs.empty() && ours.size() == 1 && ours[0] >= 0xE000 && ours[0] <= 0xE864) {
        ++privateUse;
        continue;
      }
      char hex[8];
      std::snprintf(hex, sizeof hex, "%02X%02X", lead, trail);
      differences.push_back(hex);
    }
  }
  EXPECT_EQ(viaIconv("\x80"), u"\u20AC");
  iconv_close(cd);
  EXPECT_TRUE(differences.empty()) << differences.size() << " codes differ, first "
                                   << (differences.empty() ? "" : differences.front());
  EXPECT_EQ(privateUse, 2149u);
}
#endif

}  // namespace
}  // namespace gz::text
