#include <stdexcept>

#include "db/connection.h"

namespace gz::db {

void throwDbError(DbFault fault, const std::string& message, std::string statement) {
  if (fault == DbFault::TransactionLost) throw TransactionLost(message, std::move(statement));
  throw DbError(fault, message, std::move(statement));
}

Transaction::Transaction(Connection& c) : c_(c) { c_.begin(); }

Transaction::~Transaction() {
  if (!active_) return;
  try {
    c_.rollback();
  } catch (...) {
    // Nothing more can be done for a connection that refuses a rollback.
  }
}

void Transaction::commit() {
  if (!active_) throw std::logic_error("Transaction::commit: the transaction has already ended");
  c_.commit();
  active_ = false;
}

void Transaction::rollback() {
  if (!active_) throw std::logic_error("Transaction::rollback: the transaction has already ended");
  c_.rollback();
  active_ = false;
}

Savepoint::Savepoint(Connection& c, std::string name) : c_(c), name_(std::move(name)) { c_.savepoint(name_.c_str()); }

Savepoint::~Savepoint() {
  if (!active_) return;
  try {
    c_.rollbackToSavepoint(name_.c_str());
    c_.releaseSavepoint(name_.c_str());
  } catch (...) {
    // The transaction around it is gone or going; its rollback undoes the rest.
  }
}

void Savepoint::release() {
  if (!active_) throw std::logic_error("Savepoint::release: the savepoint has already ended");
  c_.releaseSavepoint(name_.c_str());
  active_ = false;
}

void Savepoint::rollback() {
  if (!active_) throw std::logic_error("Savepoint::rollback: the savepoint has already ended");
  c_.rollbackToSavepoint(name_.c_str());
  c_.releaseSavepoint(name_.c_str());
  active_ = false;
}

}  // namespace gz::db
