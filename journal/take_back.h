// Taking a recorded run back: the run chosen, every row it left checked
// against the database, then everything it did undone in one transaction
// under the run lock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "db/connection.h"
#include "journal/journal_file.h"

namespace gz::journal {

// The run `number` of the database, or without one the latest run not yet
// taken back. Refuses (JournalError) a run taken back already, and a run
// that a later run into an overlapping department (one code a prefix of the
// other) has not been taken back before.
RunInfo chooseRun(JournalFile& file, const std::string& database, std::optional<int64_t> number);

struct TakenBack {
  RunInfo run;
  int rowsChanged = 0;
  // The database was found taken back already (an earlier attempt committed
  // but could not note it in the journal); only the journal was brought up to date.
  bool foundDone = false;
};

// Takes `run` back. Refuses (JournalError ChangedSince) and changes nothing
// when a row the run inserted or updated is no longer as the run left it, or
// a key of a row it deleted has been taken since, naming the first such
// table, key and column. Rows of a batch the database never committed are
// passed over. Throws db::DbError when the database fails; the transaction
// is then undone and the run stays whole.
TakenBack takeBack(JournalFile& file, db::Connection& conn, const RunInfo& run);

}  // namespace gz::journal
