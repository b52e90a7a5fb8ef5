// Telling date and time formats from other number formats, for every reader
// whose form stores number formats: a number shown with a date or time format
// is a date serial.
#pragma once

#include <optional>
#include <string_view>

namespace gz::sheet {

// True when a number with this format is shown as a date or time.
// `formatCode` is the format's own text when the workbook defines one; it is
// then decisive. Otherwise `builtinId` names a built-in format: 14-22 and
// 45-47, plus the East Asian date formats 27-36 and 50-58.
//
// A code is a date format when, outside quoted text, backslash escapes, fill
// and padding characters and [..] sections, it uses one of the letters d, m, y,
// h or s; elapsed-time sections such as [h] count as time. So
// "yyyy\"年\"m\"月\"d\"日\"" and "[h]:mm:ss" are dates, "[DBNum1]0" and
// "#,##0.00\"元\"" are not.
// `formatCode` must be UTF-8, not GB 18030: a GB 18030 trail byte can look like one of
// the ASCII letters looked for.
bool isDateFormat(int builtinId, std::string_view formatCode);

// The named formats of XML Spreadsheet 2003 and of pages a sheet program
// saves ("General Date", "Short Time", "Fixed", "Percent" ...): whether the
// name shows a date, nullopt for a text that is no such name (then it is a
// format code). Names are no codes: "Fixed" and "Currency" hold date letters.
std::optional<bool> namedFormatShowsDate(std::string_view name);

}  // namespace gz::sheet
