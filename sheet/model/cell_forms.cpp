// The three forms in which the import reads a cell: text, date and value.
#include <cmath>
#include <cstdio>
#include <string_view>

#include "sheet/model/cell_forms.h"
#include "sheet/model/date_text.h"
#include "sheet/model/dates.h"
#include "text/bytes.h"

namespace gz::sheet {

namespace {

// Dates from 0100-01-01 up to the end of 9999-12-31. Beyond this range a number
// is not a date: cell date fails, and cell text shows the plain number.
constexpr double kFirstDate = -657434;
constexpr double kEndOfDates = 2958466;
// The years clerks mean when they type a date as a number.
constexpr double kFirstClerkYear = 1900, kLastClerkYear = 2100;

bool isDateSerial(double v) { return std::isfinite(v) && v >= kFirstDate && v < kEndOfDates; }

std::string errorText(double code) {
  switch (static_cast<int>(code)) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    case 0x2B: return "#GETTING_DATA";
    default: return "#ERROR!";
  }
}

// "1965-3-1", plus " 8:05:09" when the serial has a time of day (to the second).
std::string dateTimeText(double serial) {
  double day = std::floor(serial);
  auto seconds = static_cast<long>(std::llround((serial - day) * 86400.0));
  if (seconds >= 86400) {
    day += 1;
    seconds = 0;
  }
  const CivilDate c = civilFromSerial(day);
  char buf[64];
  int n = std::snprintf(buf, sizeof buf, "%04d-%d-%d", c.year, c.month, c.day);
  if (seconds > 0)
    std::snprintf(buf + n, sizeof buf - n, " %ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return buf;
}

// A plain number from 1900 up to 2100.99...: a year, with a month after the
// point, as clerks type a date. Read as a day count it would fall in 1905,
// so it is read as year.month or not at all.
bool typedAsYear(double v) { return v >= kFirstClerkYear && v < kLastClerkYear + 1; }

// A number typed as year.month in a cell that shows it as a plain number:
// 1965.03 (March), 1965.3 (March: 30 is no month), 1965.1 (October, for
// 1965.10 is kept as 1965.1), 1965.12. The decimals are those the cell shows
// (15 significant digits), not the binary fraction of the double. Nothing
// where the decimals give no month: 1965.13, 1965.0 (kept as 1965), 1965.031.
std::optional<double> yearMonthNumber(double v) {
  if (!typedAsYear(v) || v == std::floor(v)) return std::nullopt;
  const std::string shown = text::formatNumber(v);
  const std::size_t point = shown.find('.');
  if (point == std::string::npos) return std::nullopt;
  const std::string_view decimals = std::string_view(shown).substr(point + 1);
  int month = 0;
  if (decimals.size() == 1) {
    month = decimals[0] == '1' ? 10 : decimals[0] - '0';
  } else if (decimals.size() == 2) {
    month = (decimals[0] - '0') * 10 + (decimals[1] - '0');
  } else {
    return std::nullopt;
  }
  return serialFromCivil(static_cast<int>(std::floor(v)), month, 1);
}

// A whole number typed as the digits of a date, 19650301 or 196503 (the
// first of that month), with a year from 1900 to 2100. As a day count the
// first would lie past 9999 and the second in the 25th century.
std::optional<double> digitsNumber(double v) {
  if (v != std::floor(v)) return std::nullopt;
  if (v >= 19000101 && v <= 21001231) {
    const auto n = static_cast<int>(v);
    return serialFromCivil(n / 10000, n / 100 % 100, n % 100);
  }
  if (v >= 190001 && v <= 210012) {
    const auto n = static_cast<int>(v);
    return serialFromCivil(n / 100, n % 100, 1);
  }
  return std::nullopt;
}

}  // namespace

std::string cellText(const CellValue& v) {
  switch (v.kind) {
    case CellKind::Empty: return {};
    case CellKind::Text: return v.text;
    case CellKind::Boolean: return v.number != 0 ? "TRUE" : "FALSE";
    case CellKind::Error: return errorText(v.number);
    case CellKind::Number:
      if (v.isDate && isDateSerial(v.number)) return dateTimeText(v.number);
      return text::formatNumber(v.number);
  }
  return {};
}

std::optional<CellDateReading> readCellDate(const CellValue& v) {
  switch (v.kind) {
    case CellKind::Empty: return CellDateReading{0.0, DateSource::Value};
    case CellKind::Number:
      if (!v.isDate) {
        if (typedAsYear(v.number)) {
          if (std::optional<double> d = yearMonthNumber(v.number))
            return CellDateReading{*d, DateSource::YearMonthNumber};
          return std::nullopt;
        }
        if (std::optional<double> d = digitsNumber(v.number)) return CellDateReading{*d, DateSource::DigitsNumber};
      }
      if (isDateSerial(v.number)) return CellDateReading{v.number, DateSource::Value};
      return std::nullopt;
    case CellKind::Text: {
      const std::string_view s = text::trimView(v.text);
      if (std::optional<double> d = writtenDateValue(s)) return CellDateReading{*d, DateSource::Text};
      // Every year.month the clerk may mean was taken above; what is left in
      // those years (1965.13, 1965.0, 1965) names no month.
      double days = 0;
      if (text::parseDecimal(s, days) && isDateSerial(days) && !typedAsYear(days))
        return CellDateReading{days, DateSource::Text};
      return std::nullopt;
    }
    case CellKind::Boolean:
    case CellKind::Error: return std::nullopt;
  }
  return std::nullopt;
}

std::optional<double> cellDate(const CellValue& v) {
  if (std::optional<CellDateReading> r = readCellDate(v)) return r->serial;
  return std::nullopt;
}

}  // namespace gz::sheet
