#include "codes/dm_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
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

const std::string kFourByte = "\x99\x31\xD2\x39";  // 𬌗

INSTANTIATE_TEST_SUITE_P(
    Rules, DmLineTest,
    testing::Values(
        LineCase{"Plain", kMale + "=1", DmEntry{kMale, "1"}},
        LineCase{"BlanksAroundKeyAndValue", "  \t" + kHan + "  =   01 \t", DmEntry{kHan, "01"}},
        LineCase{"ControlBytesTrimmed", std::string("\x01k\x1F=\x02v\x7F", 8), DmEntry{"k", "v\x7F"}},
        LineCase{"FullWidthBlankStays", kFullWidthBlank + "k=v" + kFullWidthBlank,
                 DmEntry{kFullWidthBlank + "k", "v" + kFullWidthBlank}},
        LineCase{"ValueCutTo20Bytes", "k=123456789012345678901234", DmEntry{"k", "12345678901234567890"}},
        LineCase{"BlanksAfterEqualsCountInTheCut", "k=   123456789012345678901234", DmEntry{"k", "12345678901234567"}},
        LineCase{"TrailingBlanksOfTheLineDoNotCount", "k=1234567890123456789   ", DmEntry{"k", "1234567890123456789"}},
        LineCase{"InnerBlanksBeforeTheCutAreTrimmedAfterIt", "k=1234567890123456789 X",
                 DmEntry{"k", "1234567890123456789"}},
        LineCase{"SecondEqualsBelongsToTheValue", "a=b=c", DmEntry{"a", "b=c"}},
        LineCase{"SecondEqualsBeyondTheCut", "a=12345678901234567890=x", DmEntry{"a", "12345678901234567890"}},
        LineCase{"TenDoubleByteCharactersFit", "k=" + kNineChars + kPerson, DmEntry{"k", kNineChars + kPerson}},
        LineCase{"CutNeverSplitsACharacter", "k=x" + kNineChars + kPerson, DmEntry{"k", "x" + kNineChars}},
        LineCase{"CutNeverSplitsAFourByteCharacter", "k=12345678901234567" + kFourByte,
                 DmEntry{"k", "12345678901234567"}},
        LineCase{"FourByteCharacterEndingAtTheCutStays", "k=1234567890123456" + kFourByte + "x",
                 DmEntry{"k", "1234567890123456" + kFourByte}},
        LineCase{"FourByteKey", kFourByte + "=9", DmEntry{kFourByte, "9"}},
        LineCase{"EmptyValue", "k=", DmEntry{"k", ""}}, LineCase{"BlankValue", "k =   ", DmEntry{"k", ""}},
        LineCase{"StartsWithEquals", "=1", std::nullopt}, LineCase{"BlankKey", "   = 1", std::nullopt},
        LineCase{"NoEquals", kMale + " 1", std::nullopt}, LineCase{"EmptyLine", "", std::nullopt},
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
  EXPECT_EQ(t.text, gbk);
  EXPECT_FALSE(t.fromUtf8);
}

TEST(DmDecodeTest, AsciiIsKeptAsItIs) {
  const DmText t = decodeDmBytes("a=1\n");
  EXPECT_EQ(t.text, "a=1\n");
  EXPECT_FALSE(t.fromUtf8);
}

TEST(DmDecodeTest, Utf8WithNonAsciiIsConverted) {
  const DmText t = decodeDmBytes("\xE7\x94\xB7=1\n");  // 男=1
  EXPECT_EQ(t.text, kMale + "=1\n");
  EXPECT_TRUE(t.fromUtf8);
}

// Files whose bytes are valid UTF-8, written in GBK or in UTF-8, and the key
// each must give.
struct DecodeCase {
  const char* name;
  std::string bytes;
  bool fromUtf8;
  std::string key;    // GBK
  std::string value;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class DmDecodeCaseTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DmDecodeCaseTest, LoadsTheKeyTheFileMeans) {
  const DecodeCase& c = GetParam();
  const DmText t = decodeDmBytes(c.bytes);
  EXPECT_EQ(t.fromUtf8, c.fromUtf8);
  CodeMap map;
  applyDmText(t.text, map);
  EXPECT_EQ(map.entries().count(c.key), 1u);
  EXPECT_EQ(map.lookup(c.key), c.value);
}

const std::string kFemale = "\xC5\xAE";          // 女, C5 AE: also a UTF-8 two-byte sequence
const std::string kPrimary = "\xD0\xA1\xD1\xA7";  // 小学, two such sequences
const std::string kMaster = "\xCB\xB6\xCA\xBF";   // 硕士
// 帷般啊: its six GBK bytes are two UTF-8 three-byte sequences.
const std::string kThreeByteLookalike = "\xE1\xA1\xB0\xE3\xB0\xA1";
const std::string kUtf8Female = "\xE5\xA5\xB3";
const std::string kUtf8Male = "\xE7\x94\xB7";
const std::string kUtf8Han = "\xE6\xB1\x89\xE6\x97\x8F";  // 汉族
const std::string kUtf8Degree = "\xE5\xA4\xA7\xE5\xAD\xA6\xE6\x9C\xAC\xE7\xA7\x91";  // 大学本科
const std::string kDegree = "\xB4\xF3\xD1\xA7\xB1\xBE\xBF\xC6";
// 中专·技校: the middle dot is a UTF-8 two-byte sequence.
const std::string kUtf8School = "\xE4\xB8\xAD\xE4\xB8\x93\xC2\xB7\xE6\x8A\x80\xE6\xA0\xA1";
const std::string kSchool = "\xD6\xD0\xD7\xA8\xA1\xA4\xBC\xBC\xD0\xA3";

INSTANTIATE_TEST_SUITE_P(
    Encodings, DmDecodeCaseTest,
    testing::Values(DecodeCase{"ShortGbkLookingLikeUtf8", kFemale + "=2", false, kFemale, "2"},
                    DecodeCase{"LongerGbkLookingLikeUtf8",
                               kFemale + "=2\r\n" + kPrimary + "=11\r\n" + kMaster + "=2\r\n", false, kPrimary, "11"},
                    DecodeCase{"GbkWithAThreeByteLookalikeBesideTwoByteOnes",
                               kFemale + "=2\n" + kThreeByteLookalike + "=9\n", false, kThreeByteLookalike, "9"},
                    DecodeCase{"ShortUtf8", kUtf8Female + "=2", true, kFemale, "2"},
                    DecodeCase{"LongerUtf8",
                               kUtf8Male + "=1\n" + kUtf8Female + "=2\n" + kUtf8Han + "=01\n" + kUtf8Degree + "=21\n",
                               true, kDegree, "21"},
                    DecodeCase{"Utf8EvenKeysOnly", kUtf8Han + "=01\n" + kUtf8Degree + "=21\n", true, kHan, "01"},
                    DecodeCase{"Utf8WithATwoByteCharacterThatGbkCannotRead", kUtf8Male + "=1\n" + kUtf8School + "=41\n",
                               true, kSchool, "41"}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(DmDecodeTest, ByteOrderMarkMeansUtf8AndIsDropped) {
  const DmText ascii = decodeDmBytes(
      "\xEF\xBB\xBF"
      "a=1\n");
  EXPECT_EQ(ascii.text, "a=1\n");
  EXPECT_TRUE(ascii.fromUtf8);
  const DmText chinese = decodeDmBytes("\xEF\xBB\xBF\xE7\x94\xB7=1");
  EXPECT_EQ(chinese.text, kMale + "=1");
}

TEST(DmDecodeTest, CharactersGbkLacksAreKeptWhole) {
  const DmText t = decodeDmBytes("\xF0\x9F\x98\x80=1\n\xE7\x94\xB7=2\n");  // an emoji, then 男
  EXPECT_TRUE(t.fromUtf8);
  EXPECT_EQ(t.text, "\x94\x39\xFC\x36=1\n" + kMale + "=2\n");
}

// 䶮 (two bytes, FE9F) and 𬌗 (four bytes) in a code file written in GB 18030
// and the same file in UTF-8: the same keys and values.
TEST(DmDecodeTest, Gb18030AndUtf8FilesWithRareCharactersGiveTheSameMap) {
  const std::string rare2 = "\xFE\x9F", rare4 = "\x99\x31\xD2\x39";
  const std::string gb = "\xCD\xF5" + rare2 + "=" + rare4 + "1\r\n" + rare4 + "=7\r\n";
  const std::string utf8 =
      "\xE7\x8E\x8B\xE4\xB6\xAE=\xF0\xAC\x8C\x97"
      "1\n\xF0\xAC\x8C\x97=7\n";
  for (const std::string& bytes : {gb, utf8}) {
    CodeMap map;
    applyDmText(decodeDmBytes(bytes).text, map);
    EXPECT_EQ(map.lookup("\xCD\xF5" + rare2), rare4 + "1");  // 王䶮 -> 𬌗1
    EXPECT_EQ(map.lookup(rare4), "7");
  }
  EXPECT_FALSE(decodeDmBytes(gb).fromUtf8);
  EXPECT_TRUE(decodeDmBytes(utf8).fromUtf8);
}

TEST(DmTextTest, LinesWithBytesThatAreNoCharacterAreNotUsed) {
  CodeMap map;
  std::vector<std::size_t> unreadable;
  // Line 2 holds a lone lead byte, line 4 the byte 0xFF.
  const std::size_t applied = applyDmText("a=1\nb=\xBA\n\nc=\xFF\r\nd=4", map, &unreadable);
  EXPECT_EQ(applied, 2u);
  EXPECT_EQ(unreadable, (std::vector<std::size_t>{2, 4}));
  EXPECT_EQ(map.lookup("a"), "1");
  EXPECT_EQ(map.lookup("b"), "");
  EXPECT_EQ(map.lookup("d"), "4");
}

TEST(DmDecodeTest, TheCutCountsGbkBytesOfAUtf8File) {
  // 10 characters are 30 bytes in UTF-8 but 20 in GBK: all of them survive.
  CodeMap map;
  const std::string utf8 =
      "k=\xE4\xB8\xAD\xE5\x8D\x8E\xE4\xBA\xBA\xE6\xB0\x91\xE5\x85\xB1\xE5\x92\x8C\xE5\x9B\xBD\xE4\xB8\x87"
      "\xE5\xB2\x81\xE4\xBA\xBA";
  applyDmText(decodeDmBytes(utf8).text, map);
  EXPECT_EQ(map.lookup("k"), kNineChars + kPerson);
}

}  // namespace
}  // namespace gz::codes
