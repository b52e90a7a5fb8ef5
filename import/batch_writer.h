// Groups the rows of an import into transactions.
//
// Each row runs inside a savepoint, so a row is stored whole or not at all;
// finished rows are committed in batches (by count or by time), so a large
// import does not pay one commit per row and other users of the database are
// never locked out for long. A process killed at any moment leaves only whole
// rows behind, because commits happen only between rows.
#pragma once

#include <chrono>

namespace gz::db {
class Connection;
}

namespace gz::imp {

class BatchWriter {
 public:
  BatchWriter(db::Connection& conn, int rowsPerBatch, std::chrono::milliseconds interval);
  // Rolls back whatever was not committed.
  ~BatchWriter();
  BatchWriter(const BatchWriter&) = delete;
  BatchWriter& operator=(const BatchWriter&) = delete;

  // Opens a transaction when none is open (the overwrite deletion joins the
  // first batch this way, so the old people are never gone without the new).
  void ensureOpen();
  void beginRow();
  // Keeps the row's writes, or undoes them when `keep` is false.
  void endRow(bool keep, int persons, int historyRows);
  // Commits when the batch is full or old enough. Only between rows.
  void commitIfDue();
  void commit();
  // Undoes everything not yet committed.
  void rollback();
  // After a failure: undoes the unfinished row, then commits the rows finished
  // before it. Throws when the database refuses even that.
  void salvage();

  int personsCommitted() const { return personsCommitted_; }
  int historyRowsCommitted() const { return historyCommitted_; }

 private:
  db::Connection& conn_;
  const int rowsPerBatch_;
  const std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point batchStart_;
  bool open_ = false;
  bool inRow_ = false;
  int rowsInBatch_ = 0;
  int personsPending_ = 0, historyPending_ = 0;
  int personsCommitted_ = 0, historyCommitted_ = 0;
};

}  // namespace gz::imp
