// Serial day counts from 1899-12-30 and calendar dates, by arithmetic on the
// proleptic Gregorian calendar (days-from-civil). Every serial maps to the real
// calendar, including those below 61: the sheet programs' phantom 1900-02-29
// (serial 60) reads as 1900-02-28, and serial 1 is 1899-12-31.
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "sheet/model/dates.h"
#include "text/bytes.h"

namespace gz::sheet {

namespace {

int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// Days from 1970-01-01 to 1899-12-30.
const int64_t kEpoch = daysFromCivil(1899, 12, 30);

// Further than this from the epoch the year would not fit an int.
constexpr double kMaxDays = 1e11;

bool isLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned daysInMonth(int64_t y, unsigned m) {
  static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

CivilDate civilFromSerial(double serial) {
  if (!std::isfinite(serial)) return {};
  const double day = std::floor(std::fmax(-kMaxDays, std::fmin(kMaxDays, serial)));
  const int64_t z = static_cast<int64_t>(day) + kEpoch + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
  return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

std::optional<double> serialFromCivil(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1) return std::nullopt;
  if (static_cast<unsigned>(day) > daysInMonth(year, static_cast<unsigned>(month))) return std::nullopt;
  return static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpoch);
}

// Years below 1000 are padded to four digits; years beyond 9999 keep all their
// digits (cellDate never yields them, and a database refuses such a date
// rather than storing a wrong one).
std::string isoDateText(double serial) {
  const CivilDate c = civilFromSerial(serial);
  if (c.year >= 0 && c.year <= 9999) return text::isoDateDigits(c.year, c.month, c.day);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%04d-%02d-%02d", c.year < 0 ? "-" : "", c.year < 0 ? -c.year : c.year, c.month,
                c.day);
  return buf;
}

}  // namespace gz::sheet
