// Numbers read from cell texts where binary floating point would give wrong
// answers: the years-and-months figure Y.MM is worked out on the decimal
// digits the text states, so 3.06 gives exactly 3 years and 6 months.
#pragma once

#include <cstdint>
#include <string_view>

namespace gz::imp {

inline constexpr int32_t kMonthsPerYear = 12;

struct YearsMonths {
  int32_t wholeYears = 0;  // the number truncated toward zero
  int32_t months = 0;      // 12 x wholeYears + (trunc(100 x number) mod 100), the remainder signed like the number
};

enum class DecimalRead { Ok, NotANumber, OutOfRange };

// Reads a decimal number (optional blanks around it, optional sign, digits
// with an optional point and an optional exponent) and splits it into years
// and months. OutOfRange when either figure does not fit 32 bits.
DecimalRead readYearsMonths(std::string_view text, YearsMonths& out);

// A decimal whole number: optional sign, then digits only, within 32 bits.
// Anything else (blanks, hexadecimal, a point) gives 0.
int32_t plainIntegerOr0(std::string_view text);

}  // namespace gz::imp
