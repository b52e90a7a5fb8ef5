// What a person's cells say that cannot be right, found while the row is
// read: an identity number cell that lost digits (the person is not stored),
// and the warnings about a stored person (identity number, birth and
// work-start dates, a sex text without a code). Warnings are GB 18030 texts
// without the row's prefix; the person is stored as the cells say.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/value.h"
#include "import/steps/identity_number.h"

namespace gz::sheet {
struct CellValue;
class Workbook;
}  // namespace gz::sheet
namespace gz::codes {
class CodeMap;
}

namespace gz::imp {

// The 身份证号 cell as stored in sfzh. A number of 1e15 or more cannot be
// the number typed (digits after the 15th are gone in the file): false. A
// whole number below it is its digits as text, so no point or exponent is
// ever stored; anything else goes to `out` as cellToDbValue() gives it, and
// false only for an error value. `idText` gets the text the checks read.
enum class IdCellRead { Ok, LostDigits, ErrorValue };
IdCellRead readIdCardCell(const sheet::CellValue& cell, db::Value& out, std::string& idText);

// The number the person step would store for the id card cell of `row`: a
// text as it stands, a whole number in its digits. Anything else, a number
// that lost digits included, is no number to compare (empty).
std::string rowIdCard(const sheet::Workbook& book, int32_t row, int32_t column);

// What the row says about the person, as read by the person step.
struct PersonFacts {
  std::string idCard;                    // the 身份证号 text, empty when none
  std::string sexText;                   // the 性别 cell text
  std::optional<std::string> sexCode;    // the code stored in xb, when one is
  std::optional<CalendarDay> birth;      // 出生年月, when the cell is not empty
  std::optional<CalendarDay> workStart;  // the work-start date, when the cell is not empty
  std::string_view workStartTitle;
};

// The sex code for a 性别 text: the code map's value for a text from "1" to
// "2" (byte order), or for any other text the map translates (男=1); none
// for the empty text or a text without a code.
std::optional<std::string> sexCodeFor(std::string_view cellText, codes::CodeMap& codes);

// The warnings for a stored person, in the order of the cells.
std::vector<std::string> personWarnings(const PersonFacts& facts, const CalendarDay& today);

// Today's date (UTC; a day's difference matters to none of the checks).
CalendarDay todayDate();

}  // namespace gz::imp
