#include "import/batch_tally.h"

#include "import/outcome.h"

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

}  // namespace gz::imp
