#include "import/steps/numbers.h"

#include <gtest/gtest.h>

namespace gz::imp {
namespace {

struct MonthsCase {
  const char* text;
  int32_t wholeYears;
  int32_t months;
};

// Y.MM: the two digits after the point are months, counted exactly on the
// decimal text (binary floating point would make 3.06 come out as 41).
TEST(YearsMonths, DigitsAfterThePointAreMonths) {
  const MonthsCase cases[] = {
      {"3.06", 3, 42},       {"5.09", 5, 69},   {"2", 2, 24},       {"0.11", 0, 11},
      {"3.5", 3, 86},        {"3.456", 3, 81},  {"-1.05", -1, -17}, {"4.07", 4, 55},
      {"1.10", 1, 22},       {"0.29", 0, 29},   {"8.57", 8, 153},   {" 3.06 ", 3, 42},
      {"+2.01", 2, 25},      {".5", 0, 50},     {"3.", 3, 36},      {"306e-2", 3, 42},
      {"0.0306E2", 3, 42},   {"1e1", 10, 120},  {"0", 0, 0},        {"-0.05", 0, -5},
      {"0.001", 0, 0},       {"-3.5", -3, -86}, {"007.06", 7, 90},  {"1.1e-1", 0, 11},
      {"\t3.06\r\n", 3, 42},  // blanks around the number are any control bytes too
  };
  for (const auto& c : cases) {
    YearsMonths ym;
    ASSERT_EQ(readYearsMonths(c.text, ym), DecimalRead::Ok) << c.text;
    EXPECT_EQ(ym.wholeYears, c.wholeYears) << c.text;
    EXPECT_EQ(ym.months, c.months) << c.text;
  }
}

TEST(YearsMonths, TextThatIsNotADecimalNumber) {
  for (const char* t :
       {"", " ", "abc", "3,06", "3.06x", "e5", "1e", "1e+", "--1", "3 .06", "0x10", "$10", ".", "+", "3.0.6"}) {
    YearsMonths ym{7, 7};
    EXPECT_EQ(readYearsMonths(t, ym), DecimalRead::NotANumber) << t;
    EXPECT_EQ(ym.months, 7) << t;
  }
}

TEST(YearsMonths, FiguresBeyond32BitsAreOutOfRange) {
  YearsMonths ym;
  EXPECT_EQ(readYearsMonths("1e30", ym), DecimalRead::OutOfRange);
  EXPECT_EQ(readYearsMonths("3000000000", ym), DecimalRead::OutOfRange);
  EXPECT_EQ(readYearsMonths("200000000", ym), DecimalRead::OutOfRange);  // years fit, months do not
  EXPECT_EQ(readYearsMonths("1e-999999999999", ym), DecimalRead::Ok);
  EXPECT_EQ(ym.months, 0);
  EXPECT_EQ(readYearsMonths("178956970", ym), DecimalRead::Ok);
  EXPECT_EQ(ym.months, 2147483640);
}

TEST(PlainInteger, DecimalDigitsWithAnOptionalSignOnly) {
  const std::pair<const char*, int32_t> cases[] = {
      {"2006", 2006},    {"1900", 1900},
      {"+200", 200},     {"-200", -200},
      {"06优", 0},       {"20 6", 0},
      {" 200", 0},       {"$7D0", 0},
      {"0x7D", 0},       {"", 0},
      {"-", 0},          {"2147483647", 2147483647},
      {"2147483648", 0}, {"-2147483648", -2147483648},
      {"12.5", 0},
  };
  for (const auto& [t, v] : cases) EXPECT_EQ(plainIntegerOr0(t), v) << t;
}

}  // namespace
}  // namespace gz::imp
