#include "cli/dry_run_connection.h"

namespace gz::cli {

namespace {
constexpr const char* kRunTransaction = "gz_dry_run_tx";
}

DryRunConnection::DryRunConnection(db::Connection& inner) : inner_(inner) { inner_.begin(); }

DryRunConnection::~DryRunConnection() {
  try {
    inner_.rollback();
  } catch (...) {
    // The connection is gone; nothing was committed either way.
  }
}

void DryRunConnection::begin() {
  inner_.savepoint(kRunTransaction);
  inTransaction_ = true;
}

void DryRunConnection::commit() {
  if (!inTransaction_) return;
  inner_.releaseSavepoint(kRunTransaction);
  inTransaction_ = false;
}

void DryRunConnection::rollback() {
  if (!inTransaction_) return;
  inner_.rollbackToSavepoint(kRunTransaction);
  inner_.releaseSavepoint(kRunTransaction);
  inTransaction_ = false;
}

}  // namespace gz::cli
