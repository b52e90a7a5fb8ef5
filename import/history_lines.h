// The "YYYY.MM<name>" lines of the education and position cells.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gz::imp {

struct DatedLine {
  std::string date;      // limited year, "-", limited month, "-1" (1993.07 gives 1993-07-1)
  std::string_view name;  // up to `nameBytes` bytes from byte 8, as they stand (a view into the line)
};

// The longest names the history cells give, in bytes. A cut that would fall
// inside a character drops that character.
inline constexpr std::size_t kEducationNameBytes = 20;
inline constexpr std::size_t kPositionNameBytes = 40;
inline constexpr std::size_t kResultNameBytes = 40;

// nullopt when the line is shorter than 5 bytes or byte 5 is not ".". The
// year text (bytes 1-4) is limited to "1900".."2100" and the month text
// (bytes 6-7, fewer when the line ends early) to "01".."12" as texts, byte by
// byte, so "7" becomes "12" while "1" stays "1".
std::optional<DatedLine> readDatedLine(std::string_view line, std::size_t nameBytes);

}  // namespace gz::imp
