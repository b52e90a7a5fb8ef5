#include "import/writers/batch_writer.h"

#include "import/shared/frontend.h"
#include "import/shared/outcome.h"
#include "import/writers/run_journal.h"

namespace gz::imp {
namespace {
constexpr const char* kRowSavepoint = "gzrow";
}

BatchWriter::BatchWriter(db::Connection& conn, RowReports reports, int rowsPerBatch, std::chrono::milliseconds interval,
                         bool rowSavepoints)
    : conn_(conn),
      reports_(reports),
      rowsPerBatch_(rowsPerBatch < 1 ? 1 : rowsPerBatch),
      interval_(interval),
      rowSavepoints_(rowSavepoints) {}

void BatchWriter::openBatch() {
  if (batch_) return;
  batch_.emplace(conn_);
  batchStart_ = std::chrono::steady_clock::now();
}

void BatchWriter::beginRow(const RowCarry& /*before*/) {
  openBatch();
  if (rowSavepoints_) row_.emplace(conn_, kRowSavepoint);
  inRow_ = true;
}

void BatchWriter::endRow(const RowOutcome& row) {
  const bool keep = row.stored;
  if (row_) {
    if (keep) row_->release();
    else row_->rollback();
    row_.reset();
  }
  inRow_ = false;
  if (keep && row.personId != 0 && !row.updated && reports_.journal) reports_.journal->personAdded(row.personId);
  tally_.settled(row);
  reports_.sink.rowDone(row);
}

void BatchWriter::commitIfDue() {
  if (!batch_) return;
  if (tally_.rows >= rowsPerBatch_ || std::chrono::steady_clock::now() - batchStart_ >= interval_) commit();
}

void BatchWriter::commit() {
  if (!batch_) return;
  commitBatch(batch_, tally_, reports_.journal);
}

void BatchWriter::rollback() {
  if (!batch_) return;
  inRow_ = false;
  tally_.discarded();
  row_.reset();
  if (reports_.journal) reports_.journal->rolledBack();
  rollBackBatch(batch_);
}

bool BatchWriter::salvage() {
  if (!batch_) return true;
  if (inRow_) {
    if (!row_) {
      rollback();
      return false;
    }
    row_->rollback();
    row_.reset();
    inRow_ = false;
  }
  commit();
  return true;
}

}  // namespace gz::imp
