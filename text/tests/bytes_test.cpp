#include "text/bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace gz::text {
namespace {

// GBK for 汉 and the full-width blank.
const std::string kHan = "\xBA\xBA";
const std::string kFullWidthBlank = "\xA1\xA1";

int sign(int v) { return (v > 0) - (v < 0); }

TEST(CompareBytes, OrdersUnsignedBytesWithPrefixFirst) {
  struct Case {
    std::string a, b;
    int expected;
  };
  const std::vector<Case> cases = {
      {"", "", 0},         {"", "a", -1},
      {"1", "12", -1},          // a prefix is smaller
      {"12", "2", -1},          // "12" lies between "1" and "2"
      {"20", "2", 1},      {"abc", "abd", -1},
      {"Z", "a", -1},           // no case folding
      {kHan, "z", 1},           // bytes above 0x7F come after ASCII
      {"\x80", "\x7F", 1}, {std::string("a\0b", 3), std::string("a\0c", 3), -1},  // embedded NUL compared too
      {kHan, kHan, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a + " vs " + c.b);
    EXPECT_EQ(sign(compareBytes(c.a, c.b)), c.expected);
    EXPECT_EQ(sign(compareBytes(c.b, c.a)), -c.expected);
    EXPECT_EQ(bytesLess(c.a, c.b), c.expected < 0);
  }
}

TEST(Trim, RemovesControlBytesAndBlanksOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"   ", ""},
      {"\t x \r\n", "x"},
      {std::string("\0a\0", 3), "a"},
      {" a b ", "a b"},
      {kFullWidthBlank + "x" + kFullWidthBlank, kFullWidthBlank + "x" + kFullWidthBlank},
      {"\x7F"
       "a",
       "\x7F"
       "a"},  // DEL is above 32
      {" " + kHan + " ", kHan},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(trim(in), out) << '[' << in << ']';
    EXPECT_EQ(trimView(in), out) << '[' << in << ']';
  }
}

TEST(SplitLines, BreaksAtCrLfAndCrLfPairs) {
  using Lines = std::vector<std::string>;
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\n", {"a"}},              // final break adds no empty line
      {"a\r\n", {"a"}},
      {"a\n\nb", {"a", "", "b"}},  // two breaks give an empty line
      {"a\n\r\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
      {"\n", {""}},
      {"\n\n", {"", ""}},
      {kHan + "\r\n" + kHan, {kHan, kHan}},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(splitLines(in), out) << '[' << in << ']';
}

TEST(ParseWholeNumber, AcceptsDecimalAndHexForms) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"0", 0},
      {"12", 12},
      {"  -12", -12},
      {"\t+7", 7},
      {"007", 7},
      {"$1F", 31},
      {"0x1f", 31},
      {"0X1F", 31},
      {"-$10", -16},
      {"+0x10", 16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", 2147483647},
      {"$FFFFFFFF", -1},  // the full 32-bit pattern
      {"$80000000", INT32_MIN},
      {"0x000000001", 1},  // leading zeros do not count against the width
  };
  for (const auto& [in, expected] : cases) {
    int32_t v = 12345;
    EXPECT_TRUE(parseWholeNumber(in, v)) << in;
    EXPECT_EQ(v, expected) << in;
    EXPECT_EQ(wholeNumberOr0(in), expected) << in;
  }
}

TEST(ParseWholeNumber, RefusesEverythingElseAndKeepsTheOutput) {
  const std::vector<std::string> cases = {
      "",
      " ",
      "+",
      "-",
      "6.5",
      "12 ",
      "1 2",
      "- 5",
      "2147483648",
      "-2147483649",
      "99999999999999999999",
      "$",
      "0x",
      "$100000000",
      "$G",
      "0x1G",
      "1e3",
      "abc",
      "\xA3\xB1",  // full-width digit 1
      std::string("\0"
                  "5",
                  2),
      std::string("5\0", 2),
      "--5",
      "+-5",
      "x10",
  };
  for (const auto& in : cases) {
    int32_t v = 12345;
    EXPECT_FALSE(parseWholeNumber(in, v)) << '[' << in << ']';
    EXPECT_EQ(v, 12345) << '[' << in << ']';
    EXPECT_EQ(wholeNumberOr0(in), 0) << '[' << in << ']';
  }
}

TEST(ParseDecimal, AcceptsPlainDecimalForms) {
  const std::vector<std::pair<std::string, double>> cases = {
      {"0", 0},         {"3.06", 3.06},    {" 3.06 ", 3.06}, {"\t-1.05\r\n", -1.05},
      {"+2", 2},        {"1.", 1},         {".5", 0.5},      {"-.5", -0.5},
      {"1e3", 1000},    {"1.5E-2", 0.015}, {"2e+2", 200},    {"123456789012345", 123456789012345.0},
      {"1e-400", 0},  // too small for a double: zero
      {"0.000e999", 0},
  };
  for (const auto& [in, expected] : cases) {
    double v = 99;
    EXPECT_TRUE(parseDecimal(in, v)) << in;
    EXPECT_DOUBLE_EQ(v, expected) << in;
  }
}

TEST(ParseDecimal, RefusesEverythingElse) {
  const std::vector<std::string> cases = {
      "",    " ",   ".",    "-",   "+.",  "e5",    "1e",     "1e+",  "1.2.3", "1,5",   "abc",
      "inf", "nan", "0x10", "$10", "1 2", "1e400", "-1e400", "1.5x", "--1",   "1e5.5",
  };
  for (const auto& in : cases) {
    double v = 99;
    EXPECT_FALSE(parseDecimal(in, v)) << '[' << in << ']';
    EXPECT_EQ(v, 99) << '[' << in << ']';
  }
}

TEST(FormatNumber, GeneralFormWithFifteenSignificantDigits) {
  const std::vector<std::pair<double, std::string>> cases = {
      {0, "0"},
      {-0.0, "0"},
      {1, "1"},
      {-1, "-1"},
      {3.06, "3.06"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {100, "100"},
      {1234.5, "1234.5"},
      {123456789012345.0, "123456789012345"},
      {99999999999999.9, "99999999999999.9"},
      {999999999999999.9, "1E15"},  // rounding carries into the exponent
      {1e15, "1E15"},
      {110101199003071234.0, "1.10101199003071E17"},
      {-2.5e20, "-2.5E20"},
      {0.00001, "0.00001"},
      {0.000012345, "0.000012345"},
      {1e-6, "1E-6"},
      {-1.5e-7, "-1.5E-7"},
      {1.7976931348623157e308, "1.79769313486232E308"},
      {45000, "45000"},
  };
  for (const auto& [v, expected] : cases) EXPECT_EQ(formatNumber(v), expected) << expected;
}

TEST(FormatNumber, RoundTripsThroughParseDecimal) {
  const double values[] = {3.06, -1.05, 0.11, 5.09, 12345.678, 1e-5, 7e20, 0.1 + 0.7};
  for (double v : values) {
    double back = 0;
    ASSERT_TRUE(parseDecimal(formatNumber(v), back)) << formatNumber(v);
    EXPECT_NEAR(back, v, std::abs(v) * 1e-14) << formatNumber(v);
  }
}

TEST(CutToBytes, NeverKeepsAPartOfACharacter) {
  const std::string kFour = "\x99\x31\xD2\x39";  // 𬌗, four bytes
  struct Row {
    const char* name;
    std::string text;
    std::size_t limit;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"shorter than the limit", "ab", 20, "ab"},
      {"ASCII cut exactly", "abcdef", 4, "abcd"},
      {"two-byte characters fill the limit", kHan + kHan, 4, kHan + kHan},
      {"cut inside a two-byte character drops it", "a" + kHan + kHan, 4, "a" + kHan},
      {"cut inside a four-byte character drops it", "ab" + kFour, 4, "ab"},
      {"four-byte character ending at the limit stays", "a" + kHan + "a" + kFour, 8, "a" + kHan + "a" + kFour},
      {"four-byte character first", kFour + "xyz", 3, ""},
      {"zero limit", "abc", 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(cutToBytes(r.text, r.limit), r.expected);
  }
}

// A byte of 0x80 or above anywhere, inside a word read at once or in the
// tail after the last whole word, makes a text other than ASCII.
TEST(IsAscii, FindsAHighByteAtAnyPlace) {
  const std::string plain(19, 'a');
  EXPECT_TRUE(isAscii(plain));
  EXPECT_TRUE(isAscii(""));
  for (std::size_t at = 0; at < plain.size(); ++at) {
    std::string text = plain;
    text[at] = '\x80';
    EXPECT_FALSE(isAscii(text)) << "high byte at " << at;
  }
}

}  // namespace
}  // namespace gz::text
