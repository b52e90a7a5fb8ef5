#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/dates.h"

namespace gz::sheet {
namespace {

CellValue number(double v, bool isDate = false) { return {CellKind::Number, isDate, v, {}}; }
CellValue text(std::string s) { return {CellKind::Text, false, 0, std::move(s)}; }
CellValue boolean(bool b) { return {CellKind::Boolean, false, b ? 1.0 : 0.0, {}}; }
CellValue error(int code) { return {CellKind::Error, false, double(code), {}}; }

TEST(CellText, NumbersTextsAndEmpty) {
  EXPECT_EQ(cellText(CellValue{}), "");
  EXPECT_EQ(cellText(text("\xD5\xC5\xC8\xFD")), "\xD5\xC5\xC8\xFD");
  EXPECT_EQ(cellText(text(" 1 ")), " 1 ");
  EXPECT_EQ(cellText(number(1)), "1");
  EXPECT_EQ(cellText(number(3.06)), "3.06");
  EXPECT_EQ(cellText(number(0.1 + 0.2)), "0.3");
  EXPECT_EQ(cellText(number(-12)), "-12");
}

TEST(CellText, DateFormattedNumbersShowTheShortDateAndTime) {
  struct Case {
    double serial;
    const char* text;
  } cases[] = {
      {23802, "1965-3-1"},
      {23802.5, "1965-3-1 12:00:00"},
      {23802 + (8 * 3600 + 5 * 60 + 9) / 86400.0, "1965-3-1 8:05:09"},
      {23802 + 0.4 / 86400, "1965-3-1"},               // rounds to midnight
      {23802 + 86399.6 / 86400, "1965-3-2"},           // rounds into the next day
      {36891, "2000-12-31"},
      {0, "1899-12-30"},
      {60, "1900-2-28"},
      {-657434, "0100-1-1"},
      {1e7, "10000000"},                               // not a date: the plain number
  };
  for (const Case& c : cases) EXPECT_EQ(cellText(number(c.serial, true)), c.text) << c.serial;
}

TEST(CellText, BooleansAndErrorsAreDistinct) {
  EXPECT_EQ(cellText(boolean(true)), "TRUE");
  EXPECT_EQ(cellText(boolean(false)), "FALSE");
  const std::pair<int, const char*> errors[] = {{0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"}, {0x17, "#REF!"},
                                                {0x1D, "#NAME?"}, {0x24, "#NUM!"},   {0x2A, "#N/A"}};
  for (auto [code, expected] : errors) EXPECT_EQ(cellText(error(code)), expected) << code;
  EXPECT_NE(cellText(error(0x00)), cellText(boolean(false)));
  EXPECT_NE(cellText(error(0x63)), cellText(boolean(false)));
}

TEST(CellDate, NumbersDatesAndEmpty) {
  EXPECT_EQ(cellDate(CellValue{}), 0.0);
  EXPECT_EQ(cellDate(number(23802, true)), 23802.0);
  EXPECT_EQ(cellDate(number(23802.25)), 23802.25);
  EXPECT_EQ(cellDate(number(-1)), -1.0);
  EXPECT_FALSE(cellDate(number(2958466)));  // after 9999-12-31
  EXPECT_FALSE(cellDate(number(-657435)));  // before 0100-01-01
  EXPECT_FALSE(cellDate(boolean(true)));
  EXPECT_FALSE(cellDate(error(0x2A)));
}

TEST(CellDate, TextIsParsedAsDateThenAsDayCount) {
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"1965-3-1", 23802},
      {"1965/03/01", 23802},
      {" 1965-3-1 ", 23802},
      {"1965-3-1 12:00", 23802.5},
      {"1965-3-1 6:00:00", 23802.25},
      {"1965\xC4\xEA"
       "3\xD4\xC2"
       "1\xC8\xD5",
       23802},  // 1965年3月1日
      {"23802", 23802},
      {"23802.5", 23802.5},
      {"0", 0},
      {"19x3-07-01", std::nullopt},
      {"1965-2-30", std::nullopt},
      {"1965-3/1", std::nullopt},
      {"65-3-1", std::nullopt},
      {"1965-3-1x", std::nullopt},
      {"1965-3-1 25:00", std::nullopt},
      {"1965-123-1", std::nullopt},
      {"1965", std::nullopt},  // a year alone: no month, and no day in 1905
      {"1899", 1899},          // a bare number outside the years clerks mean is a day count
      {"1e9", std::nullopt},
      {"", std::nullopt},
      {"\xD5\xC5\xC8\xFD", std::nullopt},
  };
  for (const auto& [s, expected] : cases) EXPECT_EQ(cellDate(text(s)), expected) << s;
}

// Dates as clerks type them in the date columns.
TEST(CellDate, TextsClerksWriteAreThatDateOrTheFirstOfThatMonth) {
  constexpr double k1965_03_01 = 23802, k1965_10_01 = 24016, k1965_01_01 = 23743;
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"1965.03.01", k1965_03_01},
      {"1965.3.1", k1965_03_01},
      {"1965/3/1", k1965_03_01},
      {"1965\xC4\xEA"
       "3\xD4\xC2"
       "1\xC8\xD5",
       k1965_03_01},  // 1965年3月1日
      {"19650301", k1965_03_01},
      {"1965.03", k1965_03_01},
      {"1965.3", k1965_03_01},
      {"1965.10", k1965_10_01},
      {"1965.1", k1965_01_01},  // typed as text, the digits are what the clerk wrote
      {"1965-03", k1965_03_01},
      {"1965/3", k1965_03_01},
      {"1965\xC4\xEA"
       "3\xD4\xC2",
       k1965_03_01},  // 1965年3月
      {"196503", k1965_03_01},
      {" 1965.3 ", k1965_03_01},
      {"1965.13", std::nullopt},  // no month, and no day in 1905 either
      {"1975.13", std::nullopt},
      {"1975.0", std::nullopt},
      {"1998.00", std::nullopt},
      {" 1975.13 ", std::nullopt},
      {"1850.3", 1850.3},        // a year no clerk means: a day count
      {"196513", 196513},        // no month: a day count
      {"18991231", std::nullopt},  // no year a clerk means, and no day count either
      {"1965.2.30", std::nullopt},
      {"1965.3.1 8:00", std::nullopt},
      {"1965.031", std::nullopt},
      {"8:30", std::nullopt},  // a time alone is no date here
  };
  for (const auto& [s, expected] : cases) EXPECT_EQ(cellDate(text(s)), expected) << s;
}

TEST(CellDate, PlainNumbersTypedAsYearMonthOrAsDigits) {
  struct Case {
    double value;
    std::optional<double> date;
    DateSource source;
  } cases[] = {
      {1965.03, 23802, DateSource::YearMonthNumber},
      {1965.3, 23802, DateSource::YearMonthNumber},   // 30 is no month
      {1965.1, 24016, DateSource::YearMonthNumber},   // 1965.10 is kept as 1965.1: October
      {1965.12, 24077, DateSource::YearMonthNumber},
      {1965.09, 23986, DateSource::YearMonthNumber},
      {2100.05, 73171, DateSource::YearMonthNumber},
      {1900.01, 2, DateSource::YearMonthNumber},
      {19650301, 23802, DateSource::DigitsNumber},
      {196503, 23802, DateSource::DigitsNumber},
      // A year with no month after it: no date, never a day in 1905.
      {1965.13, std::nullopt, DateSource::Value},
      {1975.13, std::nullopt, DateSource::Value},
      {1965.25, std::nullopt, DateSource::Value},
      {1965.031, std::nullopt, DateSource::Value},
      {1965, std::nullopt, DateSource::Value},     // 1965.0 or 1965 typed
      {1998.00, std::nullopt, DateSource::Value},
      {1900, std::nullopt, DateSource::Value},
      {2100.99, std::nullopt, DateSource::Value},
      {1899, 1899, DateSource::Value},          // outside 1900-2100: a day count
      {2101, 2101, DateSource::Value},
      {1899.03, 1899.03, DateSource::Value},    // outside 1900-2100
      {2101.03, 2101.03, DateSource::Value},
      {23802, 23802, DateSource::Value},
      {196513, 196513, DateSource::Value},      // no month
      {19651301, std::nullopt, DateSource::Value},  // no month, and past 9999 as a day count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const std::optional<CellDateReading> r = readCellDate(number(c.value));
    ASSERT_EQ(r.has_value(), c.date.has_value());
    if (!r) continue;
    EXPECT_EQ(r->serial, *c.date);
    EXPECT_EQ(r->source, c.source);
  }
  // A date-formatted cell is a date whatever its number.
  for (const double v : {1965.03, 1975.13, 1998.0}) {
    const std::optional<CellDateReading> formatted = readCellDate(number(v, true));
    ASSERT_TRUE(formatted) << v;
    EXPECT_EQ(formatted->serial, v);
    EXPECT_EQ(formatted->source, DateSource::Value);
  }
  EXPECT_EQ(readCellDate(text("1965.3"))->source, DateSource::Text);
  EXPECT_EQ(readCellDate(CellValue{})->source, DateSource::Value);
}

TEST(CellDate, IsoTextOfCellDateRoundTrips) {
  for (const char* s : {"1965-03-01", "2000-02-29", "1900-03-01", "1899-12-31"})
    EXPECT_EQ(isoDateText(*cellDate(text(s))), s);
}

}  // namespace
}  // namespace gz::sheet
