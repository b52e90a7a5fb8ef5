// Byte-string helpers for the core's text.
//
// Inside the core every text is a std::string of GB 18030 bytes: a character
// of GBK takes its one or two GBK bytes, any other character four (a few
// two). Positions are 1-based byte positions, and comparisons are unsigned
// byte by byte with a prefix ordering first. Every byte of a multi-byte
// character is 0x30 or above, so trimming bytes 0..32 and splitting at CR
// and LF never cut into one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gz::text {

// Unsigned byte-wise comparison: <0, 0 or >0. A prefix orders first.
int compareBytes(std::string_view a, std::string_view b);
inline bool bytesLess(std::string_view a, std::string_view b) { return compareBytes(a, b) < 0; }

// Removes every byte from 0 to 32 at both ends. The full-width blank A1A1 stays.
std::string_view trimView(std::string_view s);
std::string trim(std::string_view s);

// The first `limit` bytes of `s`, shortened to end on a whole character: a
// cut that would fall inside a two- or four-byte character drops that
// character rather than keep a part of it.
std::string_view cutToBytes(std::string_view s, std::size_t limit);

// Splits at every CR, every LF and every CR LF pair; a final break adds no
// empty line, two breaks in a row give an empty line between them.
std::vector<std::string> splitLines(std::string_view s);
// The same lines as views into `s`, which must outlive them.
std::vector<std::string_view> splitLineViews(std::string_view s);

// Whole number: optional leading blanks, optional sign, decimal digits, or a
// hexadecimal form with "$" or "0x"/"0X". The value must fit 32 bits.
// Returns false (and leaves `out` alone) for anything else.
bool parseWholeNumber(std::string_view s, int32_t& out);
// Same, giving 0 for text that is not a whole number.
int32_t wholeNumberOr0(std::string_view s);

// Decimal number: optional blanks around it, optional sign, digits with an
// optional decimal point and an optional exponent. Returns false for anything else.
bool parseDecimal(std::string_view s, double& out);

// Decimal text with at most 15 significant digits, no point for whole
// numbers, no exponent for ordinary magnitudes (1 -> "1", 3.06 -> "3.06").
std::string formatNumber(double v);

// Whether every byte is below 0x80: the same text in GB 18030 and UTF-8.
bool isAscii(std::string_view s);
// The ASCII letters in lower case, every other byte as it is.
std::string asciiLower(std::string_view s);

// "YYYY-MM-DD" for a year of 0 to 9999 and a month and day of 0 to 99, written
// digit by digit: every date of a large import is written through here.
std::string isoDateDigits(int year, int month, int day);
// The same ten characters into `out`; returns their end.
inline constexpr std::size_t kIsoDateChars = 10;
char* writeIsoDateDigits(char* out, int year, int month, int day);

}  // namespace gz::text
