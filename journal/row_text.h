// Rows as texts in the journal file, and back. A value is written as `n` for
// null, `i<digits>`, `f<number>` (the shortest digits that read back as the
// same number), `d<YYYY-MM-DD>`, or `t<byte count>:<bytes>` for a text
// (GB 18030 bytes, counted, so a text may hold any character), then `;`.
// Files written before rows were grouped hold one row per text, each column
// as `name=` and its value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/row.h"

namespace gz::journal {

// One row of an earlier file. Throws JournalError(Damaged) for a text that
// does not hold one.
db::Row rowFromText(std::string_view text);

// One value as a row's text holds it, its `;` included, appended to `out`.
void appendValueText(std::string& out, const db::Value& v);
// Many rows of one table are written as their values alone: each row's
// values as appendValueText() writes them, then a line break; the column
// names are kept once beside them. Throws JournalError(Damaged) for a text
// that does not hold whole rows of these columns.
std::vector<db::Row> rowsFromValues(const std::vector<std::string>& columns, std::string_view text);

// Inserted rows kept as their key and a digest (row_digest.h), as text: each
// row its key's value as appendValueText() writes it, then the digest's 16
// hexadecimal digits (appendDigestText()) and a line break. Rows whose keys
// are whole numbers are packed instead (packed_keys.h). keyDigestsFromText()
// reads them back and throws JournalError(Damaged) for a text that does not
// hold whole such rows.
struct KeyDigest {
  db::Value key;
  uint64_t digest = 0;
};
std::vector<KeyDigest> keyDigestsFromText(std::string_view text);

}  // namespace gz::journal
