// Helpers for turning import values into statement pieces safely.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/row.h"
#include "db/statement.h"
#include "db/value.h"

namespace gz::db {

// The text with every single quote doubled, ready to stand between quotes.
std::string doubleQuotes(std::string_view text);

// True for an optional sign, one or more digits and an optional point
// followed by one or more digits: the only codes that may stand unquoted.
bool isPlainNumber(std::string_view text);

// The numeric value of a plain number (see isPlainNumber): a whole number as
// int64_t where it fits, otherwise a double. nullopt for any other text.
std::optional<Value> plainNumberValue(std::string_view text);

// The date of a "year-month-day" text made of digits (1993-07-1, 1993-1-1),
// nullopt when it is not a real calendar date (19x3-07-1, 1993-02-30).
std::optional<Date> parseDateText(std::string_view text);

// A whole-number decimal as an integer, any other value unchanged: a cell
// holding 1 reaches a text column as "1", never as "1.0". From 10^15 on only
// the first 15 significant digits count, as the sheet shows them.
Value wholeNumberAsInteger(const Value& v);

// ISO text YYYY-MM-DD of a date.
std::string isoDate(const Date& d);
// A year of 0 to 9999 and a month and day of 0 to 99: its ISO text is
// text::writeIsoDateDigits()'s ten characters.
bool hasPlainIsoDate(const Date& d);

// Bytes as PostgreSQL's hex form of bytea input, "\\x" and two lower-case
// hexadecimal digits a byte.
std::string byteaHex(const Blob& b);

// "insert into table (cols) values (?,...)" with the row's values bound,
// whole numbers as integers. Names go into the text itself, so only plain
// names (letters, digits, "_") pass; anything else, or a row without
// columns, throws DbError naming `where`.
Statement rowInsert(std::string_view table, const Row& r, const std::string& where);
// The text of rowInsert alone, written over `text` so that a caller storing
// many rows reuses its storage; the same checks.
void rowInsertText(std::string_view table, const Row& r, const std::string& where, std::string& text);

}  // namespace gz::db
