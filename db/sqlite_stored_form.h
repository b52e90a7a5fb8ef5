// The value SQLite stores for a value bound into a column, told from the
// column's declared type alone where SQLite's type affinity cannot change it
// in a way worked out here: so that an inserted row's values can be known
// without SQLite unpacking the row it stores.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/connection.h"
#include "db/value.h"

namespace gz::db {

enum class Affinity { Text, Numeric, Integer, Real, Blob };

// SQLite's rules: INT, then CHAR/CLOB/TEXT, then BLOB or no type, then
// REAL/FLOA/DOUB, else NUMERIC (case ignored).
Affinity affinityOfType(std::string_view declaredType);

// Whether SQLite might read `text` as a number when it goes into a column of
// numeric affinity: a sign, digits, a point, an exponent, between spaces.
// Errs on the side of yes.
bool mayReadAsNumber(std::string_view text);

// `bound` as SQLite stores it in a column of `affinity` and a query reads it
// back (texts as GB 18030, the same bytes as bound; dates as their ISO text,
// written into `scratch`; a sign and up to 15 digits into a numeric column
// as that whole number; a whole number into a text column as its digits,
// written into `scratch`), or nullopt where SQLite may convert it otherwise
// than told here: a decimal into a text column, another text that may read
// as a number into a numeric one, a whole number of 2^53 or beyond as a
// decimal, a decimal that is not finite.
std::optional<StoredValue> storedForm(const Value& bound, Affinity affinity, std::string& scratch);

}  // namespace gz::db
