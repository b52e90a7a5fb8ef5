#include "import/steps/numbers.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace gz::imp {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number a decimal text states, kept exactly: value = sign x 0.DIGITS x 10^pointPos.
struct ExactDecimal {
  bool negative = false;
  std::string digits;  // significant digits, no leading zeros
  int64_t pointPos = 0;
};

bool parseExact(std::string_view s, ExactDecimal& out) {
  std::size_t i = 0, n = s.size();
  // Blanks around the number are any bytes from 1 to 32, as for whole numbers.
  const auto blank = [](char c) { return c >= 1 && c <= 32; };
  while (i < n && blank(s[i])) ++i;
  while (n > i && blank(s[n - 1])) --n;
  if (i < n && (s[i] == '+' || s[i] == '-')) out.negative = s[i++] == '-';
  bool anyDigit = false;
  int64_t intDigits = 0;
  for (; i < n && isDigit(s[i]); ++i) {
    anyDigit = true;
    if (out.digits.empty() && s[i] == '0') continue;
    out.digits += s[i];
    ++intDigits;
  }
  int64_t leadingFractionZeros = 0;
  if (i < n && s[i] == '.') {
    for (++i; i < n && isDigit(s[i]); ++i) {
      anyDigit = true;
      if (out.digits.empty() && s[i] == '0') {
        ++leadingFractionZeros;
        continue;
      }
      out.digits += s[i];
    }
  }
  if (!anyDigit) return false;
  int64_t exponent = 0;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool negExp = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negExp = s[i++] == '-';
    if (i == n || !isDigit(s[i])) return false;
    for (; i < n && isDigit(s[i]); ++i)
      if (exponent < 1'000'000) exponent = exponent * 10 + (s[i] - '0');  // beyond any range that matters
    if (negExp) exponent = -exponent;
  }
  if (i != n) return false;
  out.pointPos = (intDigits > 0 ? intDigits : -leadingFractionZeros) + exponent;
  return true;
}

// trunc(|value| x 10^shift) as a whole number; false when it has more than 18 digits.
bool truncatedMagnitude(const ExactDecimal& d, int64_t shift, int64_t& out) {
  const int64_t wholeDigits = d.pointPos + shift;
  out = 0;
  if (d.digits.empty() || wholeDigits <= 0) return true;
  if (wholeDigits > 18) return false;
  for (int64_t k = 0; k < wholeDigits; ++k)
    out = out * 10 + (k < static_cast<int64_t>(d.digits.size()) ? d.digits[k] - '0' : 0);
  return true;
}

}  // namespace

DecimalRead readYearsMonths(std::string_view text, YearsMonths& out) {
  ExactDecimal d;
  if (!parseExact(text, d)) return DecimalRead::NotANumber;
  int64_t years = 0, hundredths = 0;
  if (!truncatedMagnitude(d, 0, years) || !truncatedMagnitude(d, 2, hundredths)) return DecimalRead::OutOfRange;
  const int64_t sign = d.negative ? -1 : 1;
  const int64_t months = sign * (kMonthsPerYear * years + hundredths % 100);
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  if (years > kMax || months > kMax || months < -kMax) return DecimalRead::OutOfRange;
  out.wholeYears = static_cast<int32_t>(sign * years);
  out.months = static_cast<int32_t>(months);
  return DecimalRead::Ok;
}

int32_t plainIntegerOr0(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return 0;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (!isDigit(text[i])) return 0;
    v = v * 10 + (text[i] - '0');
    if (v > int64_t{std::numeric_limits<int32_t>::max()} + 1) return 0;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int32_t>::max()) return 0;
  return static_cast<int32_t>(v);
}

}  // namespace gz::imp
