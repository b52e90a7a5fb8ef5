#include <gtest/gtest.h>

#include <limits>

#include "sheet/model/dates.h"

namespace gz::sheet {
namespace {

struct DateCase {
  double serial;
  int year, month, day;
};

TEST(Dates, SerialsAndCalendarDatesAgree) {
  const DateCase cases[] = {
      {0, 1899, 12, 30},  {1, 1899, 12, 31},    {2, 1900, 1, 1},         {59, 1900, 2, 27},
      {60, 1900, 2, 28},  // the sheet programs' phantom 1900-02-29 reads as the 28th
      {61, 1900, 3, 1},   {23802, 1965, 3, 1},  {36585, 2000, 2, 29},    {36586, 2000, 3, 1},
      {-1, 1899, 12, 29}, {-657434, 100, 1, 1}, {2958465, 9999, 12, 31}, {1462, 1904, 1, 1},
  };
  for (const DateCase& c : cases) {
    const CivilDate d = civilFromSerial(c.serial);
    EXPECT_EQ(d.year, c.year) << c.serial;
    EXPECT_EQ(d.month, c.month) << c.serial;
    EXPECT_EQ(d.day, c.day) << c.serial;
    EXPECT_EQ(serialFromCivil(c.year, c.month, c.day), c.serial) << c.serial;
  }
}

TEST(Dates, DayPartIsTruncatedTowardMinusInfinity) {
  EXPECT_EQ(civilFromSerial(23802.99).day, 1);
  EXPECT_EQ(civilFromSerial(-0.25).day, 29);  // 1899-12-29 18:00
  EXPECT_EQ(civilFromSerial(std::numeric_limits<double>::quiet_NaN()).year, 1899);
  EXPECT_EQ(civilFromSerial(1e300).year, civilFromSerial(1e11).year);  // clamped, no overflow
}

TEST(Dates, ImpossibleCalendarDatesHaveNoSerial) {
  EXPECT_FALSE(serialFromCivil(1900, 2, 29));
  EXPECT_FALSE(serialFromCivil(2001, 2, 29));
  EXPECT_FALSE(serialFromCivil(2000, 4, 31));
  EXPECT_FALSE(serialFromCivil(2000, 13, 1));
  EXPECT_FALSE(serialFromCivil(2000, 0, 1));
  EXPECT_FALSE(serialFromCivil(2000, 1, 0));
  EXPECT_TRUE(serialFromCivil(2000, 2, 29));
  EXPECT_TRUE(serialFromCivil(2000, 12, 31));
}

TEST(Dates, IsoTextHasFourDigitYearAndTwoDigitMonthAndDay) {
  EXPECT_EQ(isoDateText(23802), "1965-03-01");
  EXPECT_EQ(isoDateText(23802.75), "1965-03-01");
  EXPECT_EQ(isoDateText(0), "1899-12-30");
  EXPECT_EQ(isoDateText(-1), "1899-12-29");
  EXPECT_EQ(isoDateText(-657434), "0100-01-01");
  EXPECT_EQ(isoDateText(2958465), "9999-12-31");
  EXPECT_EQ(isoDateText(2958466), "10000-01-01");  // kept whole so a database refuses it
}

}  // namespace
}  // namespace gz::sheet
