// Groups the rows of an import into transactions.
//
// Finished rows are committed in batches (by count or by time), so a large
// import does not pay one commit per row and other users of the database are
// never locked out for long. A process killed at any moment leaves only whole
// rows behind, because commits happen only between rows.
//
// With row savepoints each row can be undone alone: a row that fails half
// way is rolled back and the rows before it are kept. Without them (for a
// database that undoes a refused statement by itself, where a savepoint per
// row would only cost time) a failure half way through a row undoes the whole
// uncommitted batch instead, so still no partial row is ever committed.
#pragma once

#include <chrono>
#include <optional>

#include "db/connection.h"

namespace gz::imp {

class BatchWriter {
 public:
  BatchWriter(db::Connection& conn, int rowsPerBatch, std::chrono::milliseconds interval, bool rowSavepoints);
  // Whatever was not committed is rolled back.
  ~BatchWriter() = default;
  BatchWriter(const BatchWriter&) = delete;
  BatchWriter& operator=(const BatchWriter&) = delete;

  // Opens a transaction when none is open (the overwrite deletion joins the
  // first batch this way, so the old people are never gone without the new).
  void ensureOpen();
  void beginRow();
  // Keeps the row's writes, or undoes them when `keep` is false. Without row
  // savepoints a row may be dropped only when it wrote nothing.
  void endRow(bool keep, int persons, int historyRows);
  // Commits when the batch is full or old enough. Only between rows.
  void commitIfDue();
  void commit();
  // Undoes everything not yet committed.
  void rollback();
  // After a failure: undoes the unfinished row, then commits the rows finished
  // before it. Without row savepoints an unfinished row takes its whole batch
  // with it: the result is false then. Throws when the database refuses even that.
  bool salvage();

  int personsCommitted() const { return personsCommitted_; }
  int historyRowsCommitted() const { return historyCommitted_; }

 private:
  db::Connection& conn_;
  const int rowsPerBatch_;
  const std::chrono::milliseconds interval_;
  const bool rowSavepoints_;
  std::chrono::steady_clock::time_point batchStart_;
  std::optional<db::Transaction> batch_;  // the open batch
  std::optional<db::Savepoint> row_;      // the unfinished row, with row savepoints
  bool inRow_ = false;
  int rowsInBatch_ = 0;
  int personsPending_ = 0, historyPending_ = 0;
  int personsCommitted_ = 0, historyCommitted_ = 0;
};

}  // namespace gz::imp
