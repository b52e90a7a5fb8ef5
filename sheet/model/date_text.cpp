#include "sheet/model/date_text.h"

#include "sheet/model/dates.h"

namespace gz::sheet {

namespace {

constexpr std::string_view kYear = "\xC4\xEA", kMonth = "\xD4\xC2", kDay = "\xC8\xD5";  // 年 月 日
constexpr int kFirstClerkYear = 1900, kLastClerkYear = 2100;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads `minDigits` to `maxDigits` decimal digits at `pos`; fails when more follow.
bool readNumber(std::string_view s, std::size_t& pos, std::size_t minDigits, std::size_t maxDigits, int& out) {
  std::size_t n = 0;
  int v = 0;
  while (pos + n < s.size() && n < maxDigits && isDigit(s[pos + n])) {
    v = v * 10 + (s[pos + n] - '0');
    ++n;
  }
  if (n < minDigits || (pos + n < s.size() && isDigit(s[pos + n]))) return false;
  pos += n;
  out = v;
  return true;
}

bool skipLiteral(std::string_view s, std::size_t& pos, std::string_view lit) {
  if (s.substr(pos, lit.size()) != lit) return false;
  pos += lit.size();
  return true;
}

// " AM" or " PM" (any letter case, the blank optional) at `pos`: 0 none, 1 AM, 2 PM.
int meridiem(std::string_view s, std::size_t& pos) {
  std::size_t at = pos;
  while (at < s.size() && s[at] == ' ') ++at;
  if (s.size() - at != 2 || (s[at + 1] != 'M' && s[at + 1] != 'm')) return 0;
  const char c = s[at];
  if (c != 'A' && c != 'a' && c != 'P' && c != 'p') return 0;
  pos = s.size();
  return c == 'A' || c == 'a' ? 1 : 2;
}

// "h:mm" or "h:mm:ss", optionally followed by AM or PM, from `pos` to the
// end, as a fraction of a day.
bool parseTime(std::string_view s, std::size_t pos, double& fraction) {
  int h = 0, m = 0, sec = 0;
  if (!readNumber(s, pos, 1, 2, h) || !skipLiteral(s, pos, ":") || !readNumber(s, pos, 2, 2, m)) return false;
  if (pos < s.size() && s[pos] == ':' && (!skipLiteral(s, pos, ":") || !readNumber(s, pos, 2, 2, sec))) return false;
  if (const int half = meridiem(s, pos)) {
    if (h < 1 || h > 12) return false;
    h = h % 12 + (half == 2 ? 12 : 0);
  }
  if (pos != s.size() || h > 23 || m > 59 || sec > 59) return false;
  fraction = (h * 3600 + m * 60 + sec) / 86400.0;
  return true;
}

// Blanks and a time after a whole date, or the end of the text.
std::optional<double> withTime(std::string_view s, std::size_t pos, double day) {
  if (pos == s.size()) return day;
  if (s[pos] != ' ' && s[pos] != '\t') return std::nullopt;
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
  double fraction = 0;
  if (!parseTime(s, pos, fraction)) return std::nullopt;
  return day + fraction;
}

// Year, month and optionally day, the parts separated by `sep` ("-", "/" or
// "."); without a day it is the first of the month. `allowTime`: a whole
// date may be followed by a time.
std::optional<double> separatedDate(std::string_view s, char sep, bool allowTime) {
  std::size_t pos = 0;
  int y = 0, m = 0, d = 1;
  if (!readNumber(s, pos, 4, 4, y) || pos >= s.size() || s[pos++] != sep || !readNumber(s, pos, 1, 2, m))
    return std::nullopt;
  if (pos == s.size()) return serialFromCivil(y, m, 1);
  if (s[pos++] != sep || !readNumber(s, pos, 1, 2, d)) return std::nullopt;
  const std::optional<double> day = serialFromCivil(y, m, d);
  if (!day) return std::nullopt;
  if (!allowTime) return pos == s.size() ? day : std::nullopt;
  return withTime(s, pos, *day);
}

// 1965年3月1日 (with an optional time) or 1965年3月.
std::optional<double> chineseDate(std::string_view s) {
  std::size_t pos = 0;
  int y = 0, m = 0, d = 0;
  if (!readNumber(s, pos, 4, 4, y) || !skipLiteral(s, pos, kYear) || !readNumber(s, pos, 1, 2, m) ||
      !skipLiteral(s, pos, kMonth))
    return std::nullopt;
  if (pos == s.size()) return serialFromCivil(y, m, 1);
  if (!readNumber(s, pos, 1, 2, d) || !skipLiteral(s, pos, kDay)) return std::nullopt;
  const std::optional<double> day = serialFromCivil(y, m, d);
  if (!day) return std::nullopt;
  return withTime(s, pos, *day);
}

bool clerkYear(int y) { return y >= kFirstClerkYear && y <= kLastClerkYear; }

// "19650301" and "196503".
std::optional<double> digitsDate(std::string_view s) {
  if (s.size() != 8 && s.size() != 6) return std::nullopt;
  for (char c : s)
    if (!isDigit(c)) return std::nullopt;
  auto number = [&](std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) v = v * 10 + (s[i] - '0');
    return v;
  };
  const int y = number(0, 4);
  if (!clerkYear(y)) return std::nullopt;
  return serialFromCivil(y, number(4, 2), s.size() == 8 ? number(6, 2) : 1);
}

}  // namespace

std::optional<double> enteredDateValue(std::string_view s) {
  if (s.size() >= 5 && isDigit(s[0])) {
    if (s[4] == '-' || s[4] == '/') return separatedDate(s, s[4], true);
    if (std::optional<double> d = chineseDate(s)) return d;
  }
  double fraction = 0;
  if (parseTime(s, 0, fraction)) return fraction;
  return std::nullopt;
}

std::optional<double> writtenDateValue(std::string_view s) {
  if (s.size() < 6 || !isDigit(s[0])) return std::nullopt;
  if (s[4] == '-' || s[4] == '/') return separatedDate(s, s[4], true);
  if (s[4] == '.') {
    // A year and month alone is only a date for the years clerks give: "1850.3" stays a day count.
    const std::size_t second = s.find('.', 5);
    if (second == std::string_view::npos) {
      std::size_t pos = 0;
      int y = 0;
      if (!readNumber(s, pos, 4, 4, y) || !clerkYear(y)) return std::nullopt;
    }
    return separatedDate(s, '.', false);
  }
  if (std::optional<double> d = chineseDate(s)) return d;
  return digitsDate(s);
}

}  // namespace gz::sheet
