// A whole row as one text in the journal file, and back. Each column is
// written as `name=` and its value, then `;`: `n` for null, `i<digits>`,
// `f<number>` (17 significant digits, so the number comes back the same),
// `d<YYYY-MM-DD>`, or `t<byte count>:<bytes>` for a text (GB 18030 bytes,
// counted, so a text may hold any character).
#pragma once

#include <string>
#include <string_view>

#include "db/row.h"

namespace gz::journal {

std::string rowText(const db::Row& row);
// Throws JournalError(Damaged) for a text rowText() could not have written.
db::Row rowFromText(std::string_view text);

}  // namespace gz::journal
