// Serial day counts from 1899-12-30 and calendar dates.
#pragma once

#include <optional>
#include <string>

namespace gz::sheet {

// Serial day count <-> calendar date, arithmetically (no loops over days).
struct CivilDate {
  int year = 1899, month = 12, day = 30;
};
CivilDate civilFromSerial(double serial);  // the day part, truncated toward -inf
std::optional<double> serialFromCivil(int year, int month, int day);  // nullopt when not a real date
// "yyyy-mm-dd" (1965-03-01), the form stored in csny and gzsj.
std::string isoDateText(double serial);

}  // namespace gz::sheet
