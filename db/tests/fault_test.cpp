// Database failures carry their kind, on every backend, whatever the
// driver's sentence says.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "db/connection.h"
#include "db/payroll/schema.h"
#include "db/sql_state.h"
#include "db/tests/backends.h"

namespace gz::db {
namespace {

using testing::faultOf;

template <typename Backend>
class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    conn->execute({"create table t (x integer not null, y varchar(10))", {}});
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  Backend backend;
  std::unique_ptr<Connection> conn;
};

TYPED_TEST_SUITE(FaultTest, testing::AllBackends, testing::BackendNames);

TYPED_TEST(FaultTest, RefusedStatementsSayWhy) {
  Connection& c = *this->conn;
  struct Row {
    const char* name;
    Statement statement;
    DbFault fault;
  };
  const Row rows[] = {
      {"missing table", {"insert into nosuchtable (x) values (?)", {int64_t{1}}}, DbFault::MissingTable},
      {"missing table, no values", {"delete from nosuchtable", {}}, DbFault::MissingTable},
      {"missing column",
       {"insert into t (x, nosuchcolumn) values (?, ?)", {int64_t{1}, int64_t{2}}},
       DbFault::MissingColumn},
      {"missing column, no values", {"update t set nosuchcolumn = 1", {}}, DbFault::MissingColumn},
      {"not null", {"insert into t (y) values (?)", {std::string("a")}}, DbFault::Refused},
      {"syntax", {"insert into into t values (1)", {}}, DbFault::Refused},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(faultOf([&] { c.execute(r.statement); }), r.fault) << r.name;
    EXPECT_EQ(faultOf([&] { c.query(r.statement)->next(); }), r.fault) << r.name << ", as a query";
  }
  EXPECT_EQ(faultOf([&] { c.query({"select nosuchcolumn from t", {}})->next(); }), DbFault::MissingColumn);
  auto rs = c.query({"select x from t", {}});
  EXPECT_EQ(faultOf([&] { rs->text("nosuchcolumn"); }), DbFault::MissingColumn);
}

// Another user holds a lock on the table the statement writes: the statement
// waits as long as it was told, then says the database is busy.
TYPED_TEST(FaultTest, LockedByAnotherUserIsBusy) {
  auto other = this->backend.openAnother();
  Transaction holding(*other);
  if (this->conn->dialectKind() == DialectKind::Sqlite) {
    other->execute({"insert into t (x) values (1)", {}});  // the file's write lock, until the commit
  } else {
    other->execute({"lock table t in access exclusive mode", {}});
  }
  int toldWaiting = 0;
  this->conn->setBusyWait({std::chrono::milliseconds(500), [&toldWaiting] { ++toldWaiting; }});
  EXPECT_EQ(faultOf([&] { this->conn->execute({"insert into t (x) values (?)", {int64_t{2}}}); }), DbFault::Busy);
  EXPECT_EQ(faultOf([&] { this->conn->tryExecute({"insert into t (x) values (?)", {int64_t{3}}}); }), DbFault::Busy)
      << "a busy database is not one refused statement";
  // SQLite waits in the program and says so once per wait; a server waits by itself.
  EXPECT_EQ(toldWaiting, this->conn->dialectKind() == DialectKind::Sqlite ? 2 : 0);
}

// A server connection that is ended under the program: its next statement
// says that the connection is gone, not that a statement was refused.
TYPED_TEST(FaultTest, EndedServerConnectionIsLost) {
  if (this->conn->dialectKind() == DialectKind::Sqlite) GTEST_SKIP() << "an embedded database has no connection";
  auto victim = this->backend.openAnother();
  auto pid = victim->query({"select pg_backend_pid() as pid", {}});
  ASSERT_TRUE(pid->next());
  const int64_t victimPid = pid->integer("pid");
  pid.reset();
  this->conn->query({"select pg_terminate_backend(?) as done", {victimPid}})->next();
  EXPECT_EQ(faultOf([&] { victim->execute({"insert into t (x) values (?)", {int64_t{3}}}); }), DbFault::ConnectionLost);
  // Not a database without its tables: the schema check says what went wrong.
  EXPECT_EQ(faultOf([&] { requireSchema(*victim); }), DbFault::ConnectionLost);
}

// SQLite rolls the whole transaction back for some failures (here a trigger's
// rollback): that is thrown as TransactionLost, not as one refused statement.
TYPED_TEST(FaultTest, TransactionUndoneByTheDatabaseIsLost) {
  if (this->conn->dialectKind() != DialectKind::Sqlite) GTEST_SKIP() << "an SQLite behaviour";
  this->conn->execute(
      {"create trigger lose before insert on t when new.x = 9 begin select raise(rollback, 'gone'); end", {}});
  Transaction t(*this->conn);
  this->conn->execute({"insert into t (x) values (1)", {}});
  try {
    this->conn->tryExecute({"insert into t (x) values (?)", {int64_t{9}}});
    FAIL() << "no error";
  } catch (const TransactionLost& e) {
    EXPECT_EQ(e.fault(), DbFault::TransactionLost);
  }
}

TEST(SqlState, NamesTheKindOfPostgresAndOdbcCodes) {
  struct Row {
    const char* name;
    const char* state;
    DbFault fault;
  };
  const Row rows[] = {
      {"undefined table", "42P01", DbFault::MissingTable},
      {"ODBC table not found", "42S02", DbFault::MissingTable},
      {"undefined column", "42703", DbFault::MissingColumn},
      {"ODBC column not found", "42S22", DbFault::MissingColumn},
      {"lock not available", "55P03", DbFault::Busy},
      {"deadlock", "40P01", DbFault::Busy},
      {"serialization failure", "40001", DbFault::Busy},
      {"ODBC timeout", "HYT00", DbFault::Busy},
      {"admin shutdown", "57P01", DbFault::ConnectionLost},
      {"connection failure class", "08006", DbFault::ConnectionLost},
      {"ODBC communication link failure", "08S01", DbFault::ConnectionLost},
      {"disk full", "53100", DbFault::OutOfResources},
      {"too many connections", "53300", DbFault::OutOfResources},
      {"bad password", "28P01", DbFault::CannotConnect},
      {"no such database", "3D000", DbFault::CannotConnect},
      {"ODBC driver not found", "IM002", DbFault::CannotConnect},
      {"feature not supported", "0A000", DbFault::Unsupported},
      {"read-only transaction on a standby", "25006", DbFault::ReadOnly},
      {"not null violation", "23502", DbFault::Refused},
      {"syntax error", "42601", DbFault::Refused},
      {"in a failed transaction: a savepoint still recovers it", "25P02", DbFault::Refused},
      {"empty", "", DbFault::Refused},
      {"too short", "08", DbFault::Refused},
  };
  for (const Row& r : rows) EXPECT_EQ(faultFromSqlState(r.state), r.fault) << r.name;
}

}  // namespace
}  // namespace gz::db
