// What the row writers count the same way: the rows of the open batch and
// of the batches committed, and ending a batch by committing or rolling it back.
#pragma once

#include <optional>

#include "db/connection.h"

namespace gz::imp {

struct RowOutcome;
class RunJournal;

struct BatchTally {
  int rows = 0, persons = 0, history = 0, updated = 0;  // settled in the open batch
  int rowsCommitted = 0, personsCommitted = 0, historyCommitted = 0, updatedCommitted = 0;

  // A row whose outcome is final joins the open batch.
  void settled(const RowOutcome& row);
  // The open batch is committed: its counts become the committed ones.
  void committed();
  // The open batch is rolled back: its counts are gone.
  void discarded() { rows = persons = history = updated = 0; }
};

// Rolls the open batch back and ends it, also when the database refuses the
// rollback (the transaction object then tries once more as it goes).
void rollBackBatch(std::optional<db::Transaction>& batch);
// Commits the open batch and ends it, its counts becoming the committed
// ones. A journal, when given, is written ahead of the commit and told
// once the database has it.
void commitBatch(std::optional<db::Transaction>& batch, BatchTally& tally, RunJournal* journal);

}  // namespace gz::imp
