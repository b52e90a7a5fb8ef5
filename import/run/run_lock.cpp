#include "import/run/run_lock.h"

#include <QLockFile>
#include <QString>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "db/connection.h"
#include "import/run/run_stages.h"
#include "import/shared/frontend.h"
#include "import/shared/run_texts.h"
#include "import/shared/texts.h"
#include "text/gb18030.h"

namespace gz::imp {
namespace {

// How often a waiting run tries again; between tries the window's events run.
constexpr std::chrono::milliseconds kTryEvery{200};

// The advisory lock key of a code in a schema: a 64-bit FNV-1a hash of the
// schema's name and the code's bytes after a fixed text that keeps these keys
// apart from other programs' locks. Advisory locks belong to the whole
// database, but runs into the tables of different schemas do not meet. Two
// codes of the same hash only wait for each other needlessly.
int64_t advisoryKey(std::string_view schema, std::string_view code) {
  constexpr uint64_t kOffset = 14695981039346656037ULL, kPrime = 1099511628211ULL;
  uint64_t h = kOffset;
  for (std::string_view part : {std::string_view("gzimport department:"), schema, std::string_view(":"), code}) {
    for (const char c : part) {
      h ^= static_cast<unsigned char>(c);
      h *= kPrime;
    }
  }
  return static_cast<int64_t>(h);
}

class AdvisoryLocks final : public DepartmentLock {
 public:
  AdvisoryLocks(db::Connection& conn, std::string_view code) : conn_(conn) {
    auto rs = conn_.query({"select current_schema() as name", {}});
    const std::string schema = rs->next() ? rs->text("name") : std::string();
    for (std::size_t n = 0; n < code.size(); ++n) keys_.push_back({advisoryKey(schema, code.substr(0, n)), true});
    keys_.push_back({advisoryKey(schema, code), false});
  }
  ~AdvisoryLocks() override { releaseTaken(); }
  AdvisoryLocks(const AdvisoryLocks&) = delete;
  AdvisoryLocks& operator=(const AdvisoryLocks&) = delete;

  bool tryTake() override {
    for (const Key& k : keys_) {
      const std::string call = k.shared ? "pg_try_advisory_lock_shared" : "pg_try_advisory_lock";
      auto rs =
          conn_.query({"select case when " + call + "(" + std::to_string(k.key) + ") then 1 else 0 end as got", {}});
      if (!rs->next() || rs->integer("got") != 1) {
        releaseTaken();
        return false;
      }
      taken_.push_back(k);
    }
    return true;
  }

 private:
  struct Key {
    int64_t key;
    bool shared;
  };
  void releaseTaken() {
    while (!taken_.empty()) {
      const Key k = taken_.back();
      taken_.pop_back();
      const std::string call = k.shared ? "pg_advisory_unlock_shared" : "pg_advisory_unlock";
      try {
        conn_.query({"select " + call + "(" + std::to_string(k.key) + ") as done", {}})->next();
      } catch (const db::DbError&) {
        // A server that cannot be reached has let the session's locks go with it.
      }
    }
  }

  db::Connection& conn_;
  std::vector<Key> keys_;  // the prefixes, shortest first, then the code
  std::vector<Key> taken_;
};

class LockFile final : public DepartmentLock {
 public:
  explicit LockFile(const QString& databaseFile) : file_(databaseFile + QStringLiteral(".import-lock")) {
    // Never stale by age: a run may take hours. A lock file whose process is
    // gone is taken over all the same.
    file_.setStaleLockTime(std::chrono::milliseconds::zero());
  }
  bool tryTake() override {
    if (file_.tryLock(0)) return true;
    // A folder where no lock file can be made is one where SQLite cannot write
    // its journal either: the run's first write fails and says so.
    return file_.error() == QLockFile::PermissionError;
  }

 private:
  QLockFile file_;
};

// The file of an SQLite connection's main database; empty for one in memory.
std::string sqliteFile(db::Connection& conn) {
  auto rs = conn.query({"pragma database_list", {}});
  while (rs->next())
    if (rs->text("name") == "main") return text::gb18030ToUtf8(rs->text("file"));
  return {};
}

ImportOutcome refusedBy(RunEnd end, std::string messageGbk, std::optional<db::DbFault> fault) {
  ImportOutcome out = endedBeforeWriting(end, std::move(messageGbk));
  out.dbFault = fault;
  return out;
}

}  // namespace

std::unique_ptr<DepartmentLock> departmentLock(db::Connection& conn, std::string_view deptCode) {
  switch (conn.dialectKind()) {
    case db::DialectKind::Postgres: return std::make_unique<AdvisoryLocks>(conn, deptCode);
    case db::DialectKind::Sqlite: {
      const std::string file = sqliteFile(conn);
      if (file.empty()) return nullptr;
      return std::make_unique<LockFile>(QString::fromStdString(file));
    }
    case db::DialectKind::Jet: return nullptr;
  }
  return nullptr;
}

RunGuard::RunGuard(db::Connection& conn, Frontend& frontend, std::string_view deptCode, std::chrono::milliseconds wait)
    : conn_(conn), wait_(wait) {
  try {
    conn_.setBusyWait({wait_, [&frontend] { frontend.waiting(WaitCause::DatabaseBusy); }});
    std::unique_ptr<DepartmentLock> lock = departmentLock(conn_, deptCode);
    const auto deadline = std::chrono::steady_clock::now() + wait_;
    bool told = false;
    while (lock && !lock->tryTake()) {
      if (!told) frontend.waiting(WaitCause::OverlappingRun);
      told = true;
      if (std::chrono::steady_clock::now() >= deadline) {
        refused_ = refusedBy(RunEnd::Failed, std::string(texts::kMsgOverlappingRunGaveUp), db::DbFault::Busy);
        return;
      }
      frontend.processEvents();
      if (frontend.abortRequested()) {
        refused_ = refusedBy(RunEnd::Aborted, std::string(texts::kMsgAborted), std::nullopt);
        return;
      }
      std::this_thread::sleep_for(kTryEvery);
    }
    lock_ = std::move(lock);
  } catch (const db::DbError& e) {
    refused_ = refusedBy(RunEnd::Failed, runFailedMessage(true, text::utf8ToGb18030(e.what())), e.fault());
  }
}

RunGuard::~RunGuard() {
  lock_.reset();
  try {
    conn_.setBusyWait({wait_, {}});
  } catch (const db::DbError&) {
    // A connection that is gone waits for nothing any more.
  }
}

}  // namespace gz::imp
