// Dates written as text, as serial day counts from 1899-12-30. Texts are
// GB 18030 (年, 月 and 日 are GBK characters).
#pragma once

#include <optional>
#include <string_view>

namespace gz::sheet {

// What a sheet program takes for a date when it is typed into a cell or read
// from a CSV file: a four-digit year, month and day separated by "-" or "/"
// or written 1965年3月1日, optionally followed by blanks and a time "h:mm" or
// "h:mm:ss", also with AM or PM; a year and month alone ("1965-3", "1965/03", "1965年3月") for
// the first of that month; or a time alone ("8:30") for that time of day 0.
std::optional<double> enteredDateValue(std::string_view s);

// The dates clerks write in a date column: every entered form, and also
// "1965.3.1", "1965.03.01" and "19650301" for that day, and "1965.3",
// "1965.03" and "196503" for the first of that month. The digits-only and
// year.month forms need a year from 1900 to 2100 and a month from 1 to 12, so
// other numbers in text keep their meaning as a day count. A time alone is
// no date here.
std::optional<double> writtenDateValue(std::string_view s);

}  // namespace gz::sheet
