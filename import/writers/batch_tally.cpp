#include "import/writers/batch_tally.h"

#include "import/shared/outcome.h"
#include "import/writers/run_journal.h"

namespace gz::imp {

void BatchTally::settled(const RowOutcome& row) {
  ++rows;
  if (!row.stored) return;
  ++persons;
  if (row.updated) ++updated;
  history += row.historyRowsStored;
}

void BatchTally::committed() {
  rowsCommitted += rows;
  personsCommitted += persons;
  historyCommitted += history;
  updatedCommitted += updated;
  discarded();
}

void rollBackBatch(std::optional<db::Transaction>& batch) {
  if (!batch) return;
  try {
    batch->rollback();
  } catch (...) {
    batch.reset();
    throw;
  }
  batch.reset();
}

void commitBatch(std::optional<db::Transaction>& batch, BatchTally& tally, RunJournal* journal) {
  if (journal) journal->beforeCommit();
  batch->commit();
  batch.reset();
  tally.committed();
  if (journal) journal->committed();
}

}  // namespace gz::imp
