#include "text/bytes.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

#include "text/gb18030.h"

namespace gz::text {

namespace {

bool isTrimmable(unsigned char c) { return c <= 32; }
// Blanks that may precede a number: the control bytes and space, but not NUL,
// so a text with an embedded NUL is never read as a number.
bool isNumberBlank(unsigned char c) { return c >= 1 && c <= 32; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view skipLeadingBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && isNumberBlank(static_cast<unsigned char>(s[i]))) ++i;
  return s.substr(i);
}

// Hexadecimal digits into the full 32-bit pattern; more than 32 bits of
// value (leading zeros aside) do not fit.
bool parseHexDigits(std::string_view digits, uint32_t& out) {
  if (digits.empty()) return false;
  uint32_t value = 0;
  for (char c : digits) {
    int d = hexValue(c);
    if (d < 0) return false;
    if (value > (std::numeric_limits<uint32_t>::max() >> 4)) return false;
    value = (value << 4) | static_cast<uint32_t>(d);
  }
  out = value;
  return true;
}

// Decimal digits up to `limit` (the magnitude allowed for the sign given).
bool parseDecimalDigits(std::string_view digits, uint32_t limit, uint32_t& out) {
  if (digits.empty()) return false;
  uint64_t value = 0;
  for (char c : digits) {
    if (!isDigit(c)) return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > limit) return false;
  }
  out = static_cast<uint32_t>(value);
  return true;
}

// For a number text already checked for shape, whether its magnitude is
// below 1: the decimal exponent of its first significant digit is negative.
bool isBelowOne(std::string_view number) {
  long long position = 0;  // decimal exponent of the first significant digit
  bool seenSignificant = false;
  bool afterPoint = false;
  std::size_t i = 0;
  for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
    if (number[i] == '.') {
      afterPoint = true;
      continue;
    }
    if (!seenSignificant) {
      if (number[i] != '0') {
        seenSignificant = true;
        if (afterPoint) --position;
      } else if (afterPoint) {
        --position;
      }
    } else if (!afterPoint) {
      ++position;
    }
  }
  if (!seenSignificant) return true;  // zero
  long long exponent = 0;
  if (i < number.size()) {
    std::string_view e = number.substr(i + 1);
    const bool negative = !e.empty() && e.front() == '-';
    if (!e.empty() && (e.front() == '-' || e.front() == '+')) e.remove_prefix(1);
    for (char c : e) {
      exponent = exponent * 10 + (c - '0');
      if (exponent > 100000) break;  // far outside any double either way
    }
    if (negative) exponent = -exponent;
  }
  return position + exponent < 0;
}

}  // namespace

int compareBytes(std::string_view a, std::string_view b) {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  if (common > 0) {
    // memcmp compares as unsigned char, which is the order wanted here.
    int r = std::memcmp(a.data(), b.data(), common);
    if (r != 0) return r < 0 ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string_view trimView(std::string_view s) {
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && isTrimmable(static_cast<unsigned char>(s[begin]))) ++begin;
  while (end > begin && isTrimmable(static_cast<unsigned char>(s[end - 1]))) --end;
  return s.substr(begin, end - begin);
}

std::string trim(std::string_view s) { return std::string(trimView(s)); }

std::string_view cutToBytes(std::string_view s, std::size_t limit) {
  std::size_t end = 0;
  while (end < s.size()) {
    const std::size_t next = end + characterLength(s, end);
    if (next > limit) break;
    end = next;
  }
  return s.substr(0, end);
}

std::vector<std::string> splitLines(std::string_view s) {
  const std::vector<std::string_view> views = splitLineViews(s);
  return {views.begin(), views.end()};
}

std::vector<std::string_view> splitLineViews(std::string_view s) {
  std::vector<std::string_view> lines;
  // One allocation: at most one line per break, and one after the last.
  lines.reserve(
      static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; })) + 1);
  std::size_t lineStart = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(s.substr(lineStart, i - lineStart));
      ++i;
      if (c == '\r' && i < s.size() && s[i] == '\n') ++i;
      lineStart = i;
    } else {
      ++i;
    }
  }
  if (lineStart < s.size()) lines.emplace_back(s.substr(lineStart));
  return lines;
}

bool parseWholeNumber(std::string_view s, int32_t& out) {
  std::string_view rest = skipLeadingBlanks(s);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }

  uint32_t magnitude = 0;
  if (!rest.empty() && rest.front() == '$') {
    if (!parseHexDigits(rest.substr(1), magnitude)) return false;
  } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    if (!parseHexDigits(rest.substr(2), magnitude)) return false;
  } else {
    // 2147483648 fits only as the magnitude of a negative number.
    const uint32_t limit = negative ? 2147483648u : 2147483647u;
    if (!parseDecimalDigits(rest, limit, magnitude)) return false;
  }
  // Hexadecimal gives a bit pattern, so $FFFFFFFF is -1; negation wraps the
  // same way on the unsigned value.
  const uint32_t bits = negative ? 0u - magnitude : magnitude;
  out = static_cast<int32_t>(bits);
  return true;
}

int32_t wholeNumberOr0(std::string_view s) {
  int32_t value = 0;
  return parseWholeNumber(s, value) ? value : 0;
}

bool parseDecimal(std::string_view s, double& out) {
  std::string_view body = skipLeadingBlanks(s);
  while (!body.empty() && isNumberBlank(static_cast<unsigned char>(body.back()))) body.remove_suffix(1);

  // Check the shape here: from_chars alone would also take "inf", "nan" and
  // hexadecimal floats, and it refuses a leading "+".
  std::size_t i = 0;
  bool negative = false;
  if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
    negative = body[i] == '-';
    ++i;
  }
  const std::size_t numberStart = i;
  std::size_t digits = 0;
  while (i < body.size() && isDigit(body[i])) ++i, ++digits;
  if (i < body.size() && body[i] == '.') {
    ++i;
    while (i < body.size() && isDigit(body[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < body.size() && isDigit(body[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != body.size()) return false;

  double value = 0;
  const char* first = body.data() + numberStart;
  const char* last = body.data() + body.size();
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ptr != last) return false;
  if (ec == std::errc::result_out_of_range) {
    // A magnitude too small for a double is zero; one too large has no value.
    if (!isBelowOne(body.substr(numberStart))) return false;
    value = 0;
  } else if (ec != std::errc()) {
    return false;
  }
  out = negative ? -value : value;
  return true;
}

std::string formatNumber(double v) {
  if (v == 0) return "0";  // also -0
  if (v != v) return "NAN";
  if (v == std::numeric_limits<double>::infinity()) return "INF";
  if (v == -std::numeric_limits<double>::infinity()) return "-INF";

  // Round to 15 significant digits in scientific form; from it take the
  // digits and the decimal exponent after rounding (9.999...e14 becomes 1e15).
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));

  const bool negative = sci.front() == '-';
  if (negative) sci.remove_prefix(1);
  const std::size_t ePos = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, ePos))
    if (isDigit(c)) digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());

  std::string out = negative ? "-" : "";
  if (exponent < -5 || exponent > 14) {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1);
    }
    out += 'E';
    out += std::to_string(exponent);
  } else if (exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
  } else {
    const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
      out += digits;
      out.append(intDigits - digits.size(), '0');
    } else {
      out.append(digits, 0, intDigits);
      out += '.';
      out.append(digits, intDigits);
    }
  }
  return out;
}

// Eight bytes at a time: a journal's texts run to megabytes.
bool isAscii(std::string_view s) {
  constexpr uint64_t kHighBits = 0x8080808080808080ULL;
  std::size_t at = 0;
  for (; at + sizeof(uint64_t) <= s.size(); at += sizeof(uint64_t)) {
    uint64_t word = 0;
    std::memcpy(&word, s.data() + at, sizeof word);
    if (word & kHighBits) return false;
  }
  return std::none_of(s.begin() + static_cast<std::ptrdiff_t>(at), s.end(),
                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string asciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

char* writeIsoDateDigits(char* out, int year, int month, int day) {
  out[0] = static_cast<char>('0' + year / 1000);
  out[1] = static_cast<char>('0' + year / 100 % 10);
  out[2] = static_cast<char>('0' + year / 10 % 10);
  out[3] = static_cast<char>('0' + year % 10);
  out[4] = '-';
  out[5] = static_cast<char>('0' + month / 10);
  out[6] = static_cast<char>('0' + month % 10);
  out[7] = '-';
  out[8] = static_cast<char>('0' + day / 10);
  out[9] = static_cast<char>('0' + day % 10);
  return out + kIsoDateChars;
}

std::string isoDateDigits(int year, int month, int day) {
  std::string out(kIsoDateChars, '-');
  writeIsoDateDigits(out.data(), year, month, day);
  return out;
}

}  // namespace gz::text
