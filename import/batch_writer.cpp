#include "import/batch_writer.h"

#include "db/connection.h"

namespace gz::imp {
namespace {
constexpr const char* kRowSavepoint = "gzrow";
}

BatchWriter::BatchWriter(db::Connection& conn, int rowsPerBatch, std::chrono::milliseconds interval,
                         bool rowSavepoints)
    : conn_(conn),
      rowsPerBatch_(rowsPerBatch < 1 ? 1 : rowsPerBatch),
      interval_(interval),
      rowSavepoints_(rowSavepoints) {}

BatchWriter::~BatchWriter() {
  if (!open_) return;
  try {
    conn_.rollback();
  } catch (...) {
    // Nothing more can be done for a connection that refuses a rollback.
  }
}

void BatchWriter::ensureOpen() {
  if (open_) return;
  conn_.begin();
  open_ = true;
  batchStart_ = std::chrono::steady_clock::now();
}

void BatchWriter::beginRow() {
  ensureOpen();
  if (rowSavepoints_) conn_.savepoint(kRowSavepoint);
  inRow_ = true;
}

void BatchWriter::endRow(bool keep, int persons, int historyRows) {
  if (rowSavepoints_) {
    if (!keep) conn_.rollbackToSavepoint(kRowSavepoint);
    conn_.releaseSavepoint(kRowSavepoint);
  }
  inRow_ = false;
  ++rowsInBatch_;
  if (keep) {
    personsPending_ += persons;
    historyPending_ += historyRows;
  }
}

void BatchWriter::commitIfDue() {
  if (!open_) return;
  if (rowsInBatch_ >= rowsPerBatch_ || std::chrono::steady_clock::now() - batchStart_ >= interval_) commit();
}

void BatchWriter::commit() {
  if (!open_) return;
  conn_.commit();
  open_ = false;
  rowsInBatch_ = 0;
  personsCommitted_ += personsPending_;
  historyCommitted_ += historyPending_;
  personsPending_ = historyPending_ = 0;
}

void BatchWriter::rollback() {
  if (!open_) return;
  open_ = inRow_ = false;
  rowsInBatch_ = personsPending_ = historyPending_ = 0;
  conn_.rollback();
}

bool BatchWriter::salvage() {
  if (!open_) return true;
  if (inRow_) {
    if (!rowSavepoints_) {
      rollback();
      return false;
    }
    conn_.rollbackToSavepoint(kRowSavepoint);
    conn_.releaseSavepoint(kRowSavepoint);
    inRow_ = false;
  }
  commit();
  return true;
}

}  // namespace gz::imp
