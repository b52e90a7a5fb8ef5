// The structure of a resident identity number: 18 characters (17 digits and a
// check digit or X, the check digit by ISO 7064 MOD 11-2) or the older 15
// digits; a province code, a birth date and a sex digit inside. The checks
// here find what is wrong with a number as a clerk typed it; they never
// change what is stored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace gz::imp {

// A calendar day, with the ordering of its fields.
struct CalendarDay {
  int year = 0, month = 0, day = 0;
  bool operator==(const CalendarDay&) const = default;
  friend bool operator<(const CalendarDay& a, const CalendarDay& b) {
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
  }
  friend bool operator>(const CalendarDay& a, const CalendarDay& b) { return b < a; }
};

// The number as compared: blanks at the ends and inside dropped (the
// full-width blank too), full-width digits and letters read as their ASCII
// forms, letters in capitals. GB 18030 in, ASCII out where the number is one.
struct FoldedIdNumber {
  std::string key;
  bool fullWidth = false;   // a full-width digit or letter was read as ASCII
  bool innerBlank = false;  // a blank stood between the characters
};
FoldedIdNumber foldIdNumber(std::string_view gbk);

// The folded number when it has the form of an identity number (15 digits, or
// 17 digits and a digit or X), else empty. Only such keys name a person: two
// cells saying 无 or 待补, or a shifted column holding 干部, are no one's number.
std::string idNumberKey(std::string_view gbk);

// The check character of the first 17 digits of an 18-character number:
// '0' to '9' or 'X'. `digits17` must be 17 ASCII digits.
char idCheckCharacter(std::string_view digits17);

// A province, autonomous region or municipality code (the first two digits),
// including 81, 82 and 83 of the residence permits of Hong Kong, Macao and
// Taiwan residents.
bool isProvinceCode(int code);

// What the row says about the person, to compare with the number.
struct IdRowFacts {
  std::optional<CalendarDay> birth;  // 出生年月, where that cell gives a date
  std::optional<bool> male;          // 性别, where it says male or female
  CalendarDay today;
};

enum class IdFault {
  FullWidth,       // full-width digits or X (compared after folding)
  InnerBlank,      // blanks between the characters
  NotAnIdNumber,   // neither 18 characters nor 15 digits
  CheckDigit,      // the last character is not the check character
  Province,        // the first two digits are no province code
  DateNotADay,     // the birth date inside is no real day
  DateInFuture,    // the birth date inside is after today
  DateBefore1900,  // the birth date inside is before 1900
  BirthDisagrees,  // year and month differ from 出生年月
  SexDisagrees,    // the sex digit differs from 性别
};

struct IdFinding {
  IdFault fault;
  char expected = 0;  // CheckDigit: the check character the number should end in
  CalendarDay inside; // the birth date the number holds (BirthDisagrees, the date faults)
  bool male = false;  // SexDisagrees: the sex the number holds
};

// Everything wrong with the non-empty number `gbk` given what its row says;
// nothing for a valid number that agrees with its row.
std::vector<IdFinding> checkIdNumber(std::string_view gbk, const IdRowFacts& facts);

}  // namespace gz::imp
