#include <chrono>

#include "db/connection.h"
#include "db/lock_timeout.h"
#include "db/payroll/dialect.h"
#include "import/run/run_stages.h"
#include "import/shared/frontend.h"
#include "import/writers/delete_department.h"
#include "import/writers/row_writer.h"
#include "import/writers/run_journal.h"

namespace gz::imp {
namespace {

// PostgreSQL waits for another user's locks on the server, inside the
// statement, where the run cannot say so. The deletion, which meets such locks
// most often (another program at work on one of the department's people),
// first tries with this short wait; when that runs out, the run says that it
// waits and tries again with the rest of its wait.
constexpr std::chrono::milliseconds kQuietWait{500};
constexpr const char* kQuietSavepoint = "gzdelete";

void deleteSayingWhenItWaits(db::Connection& conn, Frontend& frontend, std::string_view deptCode,
                             std::chrono::milliseconds wait) {
  conn.execute(db::postgresLockTimeout(kQuietWait));
  try {
    db::Savepoint quiet(conn, kQuietSavepoint);
    DeleteDepartmentPeople(conn, frontend, deptCode);
    quiet.release();
  } catch (const db::DbError& e) {
    if (e.fault() != db::DbFault::Busy) throw;
    frontend.waiting(WaitCause::DatabaseBusy);
    conn.execute(db::postgresLockTimeout(wait - kQuietWait));
    for (const db::Statement& s : db::dialectOf(conn).deleteDepartmentPeople(deptCode)) conn.execute(s);
  }
  conn.execute(db::postgresLockTimeout(wait));
}

}  // namespace

void deleteEarlierPeople(RowWriter& writer, Frontend& frontend, std::string_view deptCode,
                         std::chrono::milliseconds wait, RunJournal* journal) {
  writer.openBatch();
  db::Connection& conn = writer.connection();
  try {
    if (journal) journal->deletingDepartment(deptCode);
    if (conn.dialectKind() == db::DialectKind::Postgres && wait > kQuietWait)
      deleteSayingWhenItWaits(conn, frontend, deptCode, wait);
    else DeleteDepartmentPeople(conn, frontend, deptCode);
  } catch (...) {
    // Undone here, not left to the closing: a deletion stopped half way must
    // never be committed with the rows finished before a failure.
    writer.rollback();
    throw;
  }
}

}  // namespace gz::imp
