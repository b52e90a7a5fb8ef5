// The "YYYY.MM<name>" lines of the education and position cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gz::imp {

// The layout of a history line: a four-byte year first; in a dated line
// ("YYYY.MM<name>") a point after it, a two-byte month and the name from the
// eighth byte; in an assessment line ("YYYY<name>") the name right after the
// year. Positions count from 0.
inline constexpr std::size_t kYearBytes = 4;
inline constexpr std::size_t kMonthAt = 5;
inline constexpr std::size_t kMonthBytes = 2;
inline constexpr std::size_t kDatedNameAt = 7;

// The most bytes of a name each history cell's lines give. A cut that would
// fall inside a character drops that character.
inline constexpr std::size_t kEducationNameBytes = 20;
inline constexpr std::size_t kPositionNameBytes = 40;
inline constexpr std::size_t kAssessmentNameBytes = 40;

// The years a history line may name. A dated line's year and month texts are
// limited to these as texts; an assessment outside them is skipped.
inline constexpr int32_t kFirstYear = 1900;
inline constexpr int32_t kLastYear = 2100;
inline constexpr std::string_view kFirstYearText = "1900";
inline constexpr std::string_view kLastYearText = "2100";
inline constexpr std::string_view kFirstMonthText = "01";
inline constexpr std::string_view kLastMonthText = "12";

struct DatedLine {
  std::string date;      // limited year, "-", limited month, "-1" (1993.07 gives 1993-07-1)
  std::string_view name;  // up to `nameBytes` bytes from byte 8, as they stand (a view into the line)
};

// nullopt when the line is shorter than 5 bytes or byte 5 is not ".". The
// year text (bytes 1-4) is limited to "1900".."2100" and the month text
// (bytes 6-7, fewer when the line ends early) to "01".."12" as texts, byte by
// byte, so "7" becomes "12" while "1" stays "1".
std::optional<DatedLine> readDatedLine(std::string_view line, std::size_t nameBytes);

}  // namespace gz::imp
