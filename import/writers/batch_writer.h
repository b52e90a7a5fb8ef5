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
#include "import/writers/batch_tally.h"
#include "import/writers/row_writer.h"

namespace gz::imp {

class BatchWriter final : public RowWriter {
 public:
  BatchWriter(db::Connection& conn, RowReports reports, int rowsPerBatch, std::chrono::milliseconds interval,
              bool rowSavepoints);
  // Whatever was not committed is rolled back.
  ~BatchWriter() override = default;
  BatchWriter(const BatchWriter&) = delete;
  BatchWriter& operator=(const BatchWriter&) = delete;

  db::Connection& connection() override { return conn_; }
  RowEvents& rowEvents() override { return reports_.events; }
  TypedDateCounter* rowTypedDates() override { return reports_.typedDates; }
  void openBatch() override;
  void beginRow(const RowCarry& before) override;
  // Without row savepoints a row may be undone only when it wrote nothing.
  // The row's outcome is final here and goes to the sink at once.
  void endRow(const RowOutcome& row) override;
  void commitIfDue() override;
  // Every finished row is settled already.
  void settle() override {}
  void commit() override;
  void rollback() override;
  // Without row savepoints an unfinished row takes its whole batch with it.
  bool salvage() override;

  int personsCommitted() const override { return tally_.personsCommitted; }
  int historyRowsCommitted() const override { return tally_.historyCommitted; }
  int personsUpdatedCommitted() const override { return tally_.updatedCommitted; }
  int rowsSettled() const override { return tally_.rowsCommitted; }

 private:
  db::Connection& conn_;
  RowReports reports_;
  const int rowsPerBatch_;
  const std::chrono::milliseconds interval_;
  const bool rowSavepoints_;
  std::chrono::steady_clock::time_point batchStart_;
  std::optional<db::Transaction> batch_;  // the open batch
  std::optional<db::Savepoint> row_;      // the unfinished row, with row savepoints
  bool inRow_ = false;
  BatchTally tally_;
};

}  // namespace gz::imp
