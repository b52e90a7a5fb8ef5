#include "import/batch_writer.h"

#include "import/outcome.h"

namespace gz::imp {
namespace {
constexpr const char* kRowSavepoint = "gzrow";
}

BatchWriter::BatchWriter(db::Connection& conn, int rowsPerBatch, std::chrono::milliseconds interval, bool rowSavepoints)
    : conn_(conn),
      rowsPerBatch_(rowsPerBatch < 1 ? 1 : rowsPerBatch),
      interval_(interval),
      rowSavepoints_(rowSavepoints) {}

void BatchWriter::openBatch() {
  if (batch_) return;
  batch_.emplace(conn_);
  batchStart_ = std::chrono::steady_clock::now();
}

void BatchWriter::beginRow() {
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
  ++rowsInBatch_;
  if (keep) {
    ++personsPending_;
    historyPending_ += row.historyRowsStored;
  }
}

void BatchWriter::commitIfDue() {
  if (!batch_) return;
  if (rowsInBatch_ >= rowsPerBatch_ || std::chrono::steady_clock::now() - batchStart_ >= interval_) commit();
}

void BatchWriter::commit() {
  if (!batch_) return;
  batch_->commit();
  batch_.reset();
  rowsSettled_ += rowsInBatch_;
  rowsInBatch_ = 0;
  personsCommitted_ += personsPending_;
  historyCommitted_ += historyPending_;
  personsPending_ = historyPending_ = 0;
}

void BatchWriter::rollback() {
  if (!batch_) return;
  inRow_ = false;
  rowsInBatch_ = personsPending_ = historyPending_ = 0;
  row_.reset();
  db::Transaction& batch = *batch_;
  try {
    batch.rollback();
  } catch (...) {
    batch_.reset();
    throw;
  }
  batch_.reset();
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
