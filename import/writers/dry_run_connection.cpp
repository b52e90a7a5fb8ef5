#include "import/writers/dry_run_connection.h"

namespace gz::imp {

namespace {
constexpr const char* kRunTransaction = "gz_dry_run_tx";
}

DryRunConnection::DryRunConnection(db::Connection& inner) : inner_(inner), outer_(inner) {}

void DryRunConnection::begin() { run_.emplace(inner_, kRunTransaction); }

void DryRunConnection::commit() {
  if (!run_ || !run_->active()) return;
  run_->release();
  run_.reset();
}

void DryRunConnection::rollback() {
  if (!run_ || !run_->active()) return;
  run_->rollback();
  run_.reset();
}

}  // namespace gz::imp
