// Values as the XML workbook forms write them in text: numbers, ISO 8601
// dates and times, and error names. Shared by the .xlsx, XML Spreadsheet
// and OpenDocument readers, and by the typing of CSV and web-page cells.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace gz::sheet {

// Without blanks, tabs, CR and LF at both ends.
std::string_view trimXmlBlanks(std::string_view s);

// A decimal number as XML writes it ("3.06", "-1E-3", "+5"), blanks around
// it allowed; nullopt for anything else, including infinities and NaN.
std::optional<double> parseXmlNumber(std::string_view s);

// ISO 8601 "2021-01-01", "2021-01-01T10:10:10[.5][Z|+08:00]" or a time alone
// ("10:10:10") as a serial day count. A zone offset is ignored: the sheet
// showed local time.
std::optional<double> parseIsoDateTime(std::string_view s);

// The code of an error value by its name ("#DIV/0!" is 0x07); 0xFF, a
// generic error, for a name this system does not know.
uint8_t errorCodeOf(std::string_view name);
// The code only for the names a sheet program shows ("#N/A", "#REF!", ...).
std::optional<uint8_t> knownErrorCode(std::string_view name);

}  // namespace gz::sheet
