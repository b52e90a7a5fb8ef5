// Text on its way into a database: the core's GB 18030 bytes as the UTF-8
// (SQLite, PostgreSQL) or UTF-16 (Qt SQL, ODBC) the database keeps.
//
// GB 18030 converts to Unicode without loss, so this only fails for bytes
// that are no character at all. Such text is refused rather than stored with
// replacement characters in it.
#pragma once

#include <string>
#include <string_view>

class QString;

namespace gz::db {

// Both throw DbError (kind: refused) for malformed text.
std::string databaseUtf8(std::string_view text);
QString databaseQString(std::string_view text);

}  // namespace gz::db
