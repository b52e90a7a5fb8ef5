// The three forms in which the import reads a cell: text, date and value.
#include <cmath>
#include <cstdio>
#include <string_view>

#include "sheet/workbook.h"
#include "text/bytes.h"

namespace gz::sheet {

namespace {

// Dates from 0100-01-01 up to the end of 9999-12-31. Beyond this range a number
// is not a date: cell date fails, and cell text shows the plain number.
constexpr double kFirstDate = -657434;
constexpr double kEndOfDates = 2958466;

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

// Reads 1 to `maxDigits` decimal digits at `pos`.
bool readNumber(std::string_view s, std::size_t& pos, std::size_t minDigits, std::size_t maxDigits, int& out) {
  std::size_t n = 0;
  int v = 0;
  while (pos + n < s.size() && n < maxDigits && s[pos + n] >= '0' && s[pos + n] <= '9') {
    v = v * 10 + (s[pos + n] - '0');
    ++n;
  }
  if (n < minDigits || (pos + n < s.size() && s[pos + n] >= '0' && s[pos + n] <= '9')) return false;
  pos += n;
  out = v;
  return true;
}

bool skipLiteral(std::string_view s, std::size_t& pos, std::string_view lit) {
  if (s.substr(pos, lit.size()) != lit) return false;
  pos += lit.size();
  return true;
}

// "h:mm" or "h:mm:ss" from `pos` to the end, as a fraction of a day.
bool parseTime(std::string_view s, std::size_t pos, double& fraction) {
  int h = 0, m = 0, sec = 0;
  if (!readNumber(s, pos, 1, 2, h) || !skipLiteral(s, pos, ":") || !readNumber(s, pos, 2, 2, m)) return false;
  if (pos < s.size() && (!skipLiteral(s, pos, ":") || !readNumber(s, pos, 2, 2, sec))) return false;
  if (pos != s.size() || h > 23 || m > 59 || sec > 59) return false;
  fraction = (h * 3600 + m * 60 + sec) / 86400.0;
  return true;
}

// Year, month and day: "1965-3-1", "1965/03/01" or "1965年3月1日" (GBK), with
// a four-digit year, optionally followed by blanks and a time.
std::optional<double> parseDateText(std::string_view s) {
  std::size_t pos = 0;
  int y = 0, m = 0, d = 0;
  if (!readNumber(s, pos, 4, 4, y)) return std::nullopt;
  static constexpr std::string_view kYear = "\xC4\xEA", kMonth = "\xD4\xC2", kDay = "\xC8\xD5";
  if (skipLiteral(s, pos, kYear)) {
    if (!readNumber(s, pos, 1, 2, m) || !skipLiteral(s, pos, kMonth) || !readNumber(s, pos, 1, 2, d) ||
        !skipLiteral(s, pos, kDay))
      return std::nullopt;
  } else {
    if (pos >= s.size() || (s[pos] != '-' && s[pos] != '/')) return std::nullopt;
    const char sep = s[pos++];
    if (!readNumber(s, pos, 1, 2, m) || pos >= s.size() || s[pos++] != sep || !readNumber(s, pos, 1, 2, d))
      return std::nullopt;
  }
  std::optional<double> serial = serialFromCivil(y, m, d);
  if (!serial || pos == s.size()) return serial;
  if (s[pos] != ' ' && s[pos] != '\t') return std::nullopt;
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
  double fraction = 0;
  if (!parseTime(s, pos, fraction)) return std::nullopt;
  return *serial + fraction;
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

std::optional<double> cellDate(const CellValue& v) {
  switch (v.kind) {
    case CellKind::Empty: return 0.0;
    case CellKind::Number:
      if (isDateSerial(v.number)) return v.number;
      return std::nullopt;
    case CellKind::Text: {
      const std::string_view s = text::trimView(v.text);
      if (std::optional<double> d = parseDateText(s)) return d;
      double days = 0;
      if (text::parseDecimal(s, days) && isDateSerial(days)) return days;
      return std::nullopt;
    }
    case CellKind::Boolean:
    case CellKind::Error:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace gz::sheet
