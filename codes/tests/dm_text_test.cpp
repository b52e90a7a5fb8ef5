#include "codes/dm_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace gz::codes {
namespace {

// GBK texts used below.
const std::string kMale = "\xC4\xD0";                 // 男
const std::string kHan = "\xBA\xBA\xD7\xE5";          // 汉族
const std::string kNineChars =                        // 中华人民共和国万岁
    "\xD6\xD0\xBB\xAA\xC8\xCB\xC3\xF1\xB9\xB2\xBA\xCD\xB9\xFA\xCD\xF2\xCB\xEA";
const std::string kPerson = "\xC8\xCB";               // 人
const std::string kFullWidthBlank = "\xA1\xA1";

struct LineCase {
  const char* name;
  std::string line;
  std::optional<DmEntry> expected;
};

class DmLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(DmLineTest, Parses) {
  const LineCase& c = GetParam();
  const auto got = parseDmLine(c.line);
  ASSERT_EQ(got.has_value(), c.expected.has_value());
  if (got) {
    EXPECT_EQ(got->key, c.expected->key);
    EXPECT_EQ(got->value, c.expected->value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DmLineTest,
    testing::Values(
        LineCase{"Plain", kMale + "=1", DmEntry{kMale, "1"}},
        LineCase{"BlanksAroundKeyAndValue", "  \t" + kHan + "  =   01 \t", DmEntry{kHan, "01"}},
        LineCase{"ControlBytesTrimmed", std::string("\x01k\x1F=\x02v\x7F", 8), DmEntry{"k", "v\x7F"}},
        LineCase{"FullWidthBlankStays", kFullWidthBlank + "k=v" + kFullWidthBlank,
                 DmEntry{kFullWidthBlank + "k", "v" + kFullWidthBlank}},
        LineCase{"ValueCutTo20Bytes", "k=123456789012345678901234", DmEntry{"k", "12345678901234567890"}},
        LineCase{"BlanksAfterEqualsCountInTheCut", "k=   123456789012345678901234",
                 DmEntry{"k", "12345678901234567"}},
        LineCase{"TrailingBlanksOfTheLineDoNotCount", "k=1234567890123456789   ",
                 DmEntry{"k", "1234567890123456789"}},
        LineCase{"InnerBlanksBeforeTheCutAreTrimmedAfterIt", "k=1234567890123456789 X",
                 DmEntry{"k", "1234567890123456789"}},
        LineCase{"SecondEqualsBelongsToTheValue", "a=b=c", DmEntry{"a", "b=c"}},
        LineCase{"SecondEqualsBeyondTheCut", "a=12345678901234567890=x", DmEntry{"a", "12345678901234567890"}},
        LineCase{"TenDoubleByteCharactersFit", "k=" + kNineChars + kPerson, DmEntry{"k", kNineChars + kPerson}},
        LineCase{"CutNeverSplitsACharacter", "k=x" + kNineChars + kPerson, DmEntry{"k", "x" + kNineChars}},
        LineCase{"EmptyValue", "k=", DmEntry{"k", ""}},
        LineCase{"BlankValue", "k =   ", DmEntry{"k", ""}},
        LineCase{"StartsWithEquals", "=1", std::nullopt},
        LineCase{"BlankKey", "   = 1", std::nullopt},
        LineCase{"NoEquals", kMale + " 1", std::nullopt},
        LineCase{"EmptyLine", "", std::nullopt},
        LineCase{"BlankLine", " \t ", std::nullopt}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(DmTextTest, LastOfTheSameKeyWinsAndBlanksAroundKeysDoNotCount) {
  CodeMap map;
  const std::size_t applied = applyDmText(kMale + "=1\r\n  " + kMale + " =2\nM=m\nm=x\n", map);
  EXPECT_EQ(applied, 4u);
  EXPECT_EQ(map.size(), 3u);
  EXPECT_EQ(map.lookup(kMale), "2");
  EXPECT_EQ(map.lookup("M"), "m");  // keys that differ in case stay apart
  EXPECT_EQ(map.lookup("m"), "x");
}

TEST(DmTextTest, EveryLineBreakKindAndAFinalLineWithoutBreak) {
  CodeMap map;
  EXPECT_EQ(applyDmText("a=1\rb=2\r\nc=3\n\nd=4", map), 4u);
  EXPECT_EQ(map.lookup("a"), "1");
  EXPECT_EQ(map.lookup("b"), "2");
  EXPECT_EQ(map.lookup("c"), "3");
  EXPECT_EQ(map.lookup("d"), "4");
}

TEST(DmTextTest, KeyWithEmptyValueLooksUpLikeAnAbsentKey) {
  CodeMap map;
  applyDmText("k=\n", map);
  EXPECT_EQ(map.lookup("k"), "");
  EXPECT_EQ(map.lookup("absent"), "");
}

TEST(DmDecodeTest, GbkIsKeptAsItIs) {
  const std::string gbk = kMale + "=1\n" + kHan + "=01\n";
  const DmText t = decodeDmBytes(gbk);
  EXPECT_EQ(t.gbk, gbk);
  EXPECT_FALSE(t.fromUtf8);
}

TEST(DmDecodeTest, AsciiIsKeptAsItIs) {
  const DmText t = decodeDmBytes("a=1\n");
  EXPECT_EQ(t.gbk, "a=1\n");
  EXPECT_FALSE(t.fromUtf8);
}

TEST(DmDecodeTest, Utf8WithNonAsciiIsConverted) {
  const DmText t = decodeDmBytes("\xE7\x94\xB7=1\n");  // 男=1
  EXPECT_EQ(t.gbk, kMale + "=1\n");
  EXPECT_TRUE(t.fromUtf8);
  EXPECT_EQ(t.unconvertible, 0u);
}

TEST(DmDecodeTest, ByteOrderMarkMeansUtf8AndIsDropped) {
  const DmText ascii = decodeDmBytes("\xEF\xBB\xBF" "a=1\n");
  EXPECT_EQ(ascii.gbk, "a=1\n");
  EXPECT_TRUE(ascii.fromUtf8);
  const DmText chinese = decodeDmBytes("\xEF\xBB\xBF\xE7\x94\xB7=1");
  EXPECT_EQ(chinese.gbk, kMale + "=1");
}

TEST(DmDecodeTest, CharactersGbkCannotHoldAreCounted) {
  const DmText t = decodeDmBytes("\xF0\x9F\x98\x80=1\n\xE7\x94\xB7=2\n");  // an emoji, then 男
  EXPECT_TRUE(t.fromUtf8);
  EXPECT_EQ(t.unconvertible, 1u);
  EXPECT_EQ(t.gbk, "?=1\n" + kMale + "=2\n");
}

TEST(DmDecodeTest, TheCutCountsGbkBytesOfAUtf8File) {
  // 10 characters are 30 bytes in UTF-8 but 20 in GBK: all of them survive.
  CodeMap map;
  const std::string utf8 =
      "k=\xE4\xB8\xAD\xE5\x8D\x8E\xE4\xBA\xBA\xE6\xB0\x91\xE5\x85\xB1\xE5\x92\x8C\xE5\x9B\xBD\xE4\xB8\x87"
      "\xE5\xB2\x81\xE4\xBA\xBA";
  applyDmText(decodeDmBytes(utf8).gbk, map);
  EXPECT_EQ(map.lookup("k"), kNineChars + kPerson);
}

}  // namespace
}  // namespace gz::codes
