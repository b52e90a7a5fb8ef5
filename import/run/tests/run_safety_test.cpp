// A run on a database that others use: it waits for their locks and for runs
// into overlapping departments, and a database held past the wait, gone,
// full or write-protected ends the run instead of failing row after row.
// After every ending the rows handled are the rows stored plus the rows
// reported, and no person is stored without the rest of its row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <future>
#include <thread>

#include "codes/code_map.h"
#include "db/payroll/schema.h"
#include "db/tests/backends.h"
#include "import/run/import_run.h"
#include "import/run/run_lock.h"
#include "import/shared/tests/fakes.h"

namespace gz::imp {
namespace {

using namespace testing;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<Cell>>;

const std::vector<Cell> kTitles = {
    "姓名", "出生年月", "参加工作时间", "个人身份", "学历", "执行基本工资对应职务", "从2006年开始的考核情况"};

// A sheet of `n` people, each with one education, position and assessment line.
Rows sheetOf(int n) {
  Rows rows = {kTitles};
  for (int i = 1; i <= n; ++i)
    rows.push_back({"人" + std::to_string(i), Cell::date(23802), Cell::date(31260), "干部", "1983.07大学",
                    "1990.01科员", "2006优秀"});
  return rows;
}

void setCodes(codes::CodeMap& codes) {
  codes.set(G("大学"), "21");
  codes.set(G("科员"), "31");
  codes.set(G("优秀"), "1");
}

// Rows handled are rows stored plus rows reported, and the stored count is
// what the run committed.
void expectCountsAddUp(const ImportOutcome& o, const RecordingFrontend& f, const char* name) {
  int stored = 0, reported = 0;
  for (const RowOutcome& r : f.rows) (r.stored ? stored : reported) += 1;
  EXPECT_EQ(o.rowsDone, stored + reported) << name;
  EXPECT_EQ(o.rowsFailed, reported) << name;
}

// --- On the fake database: what ends the run and what it says ---

class SharedDatabaseRun : public ::testing::Test {
 protected:
  void SetUp() override {
    setCodes(codes);
    request.departmentCode = "0102";
    request.workbookPath = GZ_SOURCE_DIR "/CMakeLists.txt";  // any existing file: the sheet comes from `rows`
    request.commitEveryRows = 2;
  }
  ImportOutcome run() {
    return AInputExecute(conn, codes, columns, frontend, request,
                         [this](const std::string&) { return fakeWorkbook(rows); });
  }
  Lines committedPersons() const {
    Lines out;
    for (const auto& w : conn.committed)
      if (w.rfind("person", 0) == 0) out.push_back(w);
    return out;
  }

  Rows rows = sheetOf(5);
  codes::CodeMap codes;
  ColumnMap columns;
  FakeConnection conn;
  RecordingFrontend frontend;
  ImportRequest request;
};

TEST_F(SharedDatabaseRun, DatabaseFaultsEndTheRunInsteadOfFailingRows) {
  struct Row {
    const char* name;
    const char* failingOp;  // the fourth call of this operation fails
    db::DbFault fault;
    const char* messageStart;
  };
  const Row table[] = {
      {"held past the wait, at a person", "insertPerson", db::DbFault::Busy, "数据库一直被其他程序使用,等待超时"},
      {"held past the wait, at a history line", "tryExecute", db::DbFault::Busy, "数据库一直被其他程序使用,等待超时"},
      {"server gone", "insertPerson", db::DbFault::ConnectionLost,
       "与数据库的连接已断开,导入中断,此前提交的人员已保存: fake database"},
      {"server gone at a history line", "tryExecute", db::DbFault::ConnectionLost, "与数据库的连接已断开"},
      {"disk full", "insertPerson", db::DbFault::OutOfResources, "导入因数据库错误中断"},
      {"write-protected", "insertPerson", db::DbFault::ReadOnly, "导入因数据库错误中断"},
  };
  for (const Row& r : table) {
    conn = FakeConnection();
    frontend = RecordingFrontend();
    int calls = 0;
    conn.beforeOp = [&](const std::string& op) {
      if (op == r.failingOp && ++calls == 4) throw db::DbError(r.fault, "the database says no");
    };
    const ImportOutcome o = run();
    EXPECT_EQ(o.end, RunEnd::Failed) << r.name;
    EXPECT_EQ(o.dbFault, r.fault) << r.name;
    EXPECT_EQ(U(o.message).rfind(r.messageStart, 0), 0u) << r.name << ": " << U(o.message);
    EXPECT_TRUE(frontend.only("error").empty()) << r.name << ": no row is blamed";
    expectCountsAddUp(o, frontend, r.name);
    // Only whole committed batches stay: the count says what is there.
    EXPECT_EQ(static_cast<int>(committedPersons().size()), o.personsStored) << r.name;
    EXPECT_FALSE(conn.inTransaction) << r.name;
    EXPECT_FALSE(conn.busyWait.waiting) << r.name << ": the front end is not called after the run";
  }
}

TEST_F(SharedDatabaseRun, StatementsWaitUpToTheRequestedTimeAndSaySo) {
  request.wait = 7s;
  conn.beforeOp = [this](const std::string& op) {
    if (op == "insertPerson" && conn.persons.size() == 1 && conn.busyWait.waiting) conn.busyWait.waiting();
  };
  const ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(conn.busyWait.limit, 7s);
  EXPECT_EQ(frontend.only("import")[3], "数据库正被其他程序使用，正在等待…");  // after 人2 began
  EXPECT_EQ(frontend.only("status1").front(), "数据库正被其他程序使用，正在等待…");
}

TEST_F(SharedDatabaseRun, AnotherRunHoldingTheDepartment) {
  struct Row {
    const char* name;
    bool abortWhileWaiting;
    RunEnd end;
    const char* box;
  };
  const Row table[] = {
      {"held past the wait", false, RunEnd::Failed,
       "本部门或其上下级部门的另一次导入一直在进行,等待超时,本次导入未写入任何数据 / 错误"},
      {"aborted while waiting", true, RunEnd::Aborted, "用户中止! / 提示"},
  };
  for (const Row& r : table) {
    conn = FakeConnection();
    frontend = RecordingFrontend();
    conn.queryAnswer = 0;  // every advisory lock is taken by someone else
    request.wait = 300ms;
    request.mode = ImportMode::Overwrite;
    frontend.onEvents = [&] { frontend.abort = r.abortWhileWaiting; };
    const ImportOutcome o = run();
    EXPECT_EQ(o.end, r.end) << r.name;
    EXPECT_EQ(frontend.only("import").front(), "本部门或其上下级部门的另一次导入正在进行，正在等待…") << r.name;
    EXPECT_EQ(std::count(frontend.events.begin(), frontend.events.end(),
                         "import: 本部门或其上下级部门的另一次导入正在进行，正在等待…"),
              1)
        << r.name << ": said once per wait";
    EXPECT_EQ(frontend.only("box").front(), r.box) << r.name;
    EXPECT_EQ(std::count(conn.log.begin(), conn.log.end(), "query"), static_cast<std::ptrdiff_t>(conn.log.size()))
        << r.name << ": nothing deleted, nothing written";
    EXPECT_EQ(o.personsStored, 0) << r.name;
  }
}

// --- On real databases ---

template <typename Backend>
class SharedDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    db::createSchema(*conn);
    setCodes(codes);
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }
  bool sqlite() const { return conn->dialectKind() == db::DialectKind::Sqlite; }
  // A department code of this process's own: runs of other tests on the same
  // server take their departments' locks at the same time.
  static std::string ownCode(const std::string& code = "01") {
    return "T" + std::to_string(QCoreApplication::applicationPid()) + code;
  }

  ImportOutcome import(int people, std::chrono::milliseconds wait, int commitEvery = 5000,
                       ImportMode mode = ImportMode::Append) {
    const Rows rows = sheetOf(people);
    ImportRequest r;
    r.mode = mode;
    r.departmentCode = ownCode();
    r.workbookPath = GZ_SOURCE_DIR "/CMakeLists.txt";
    r.wait = wait;
    r.commitEveryRows = commitEvery;
    return AInputExecute(*conn, codes, columns, frontend, r,
                         [&rows](const std::string&) { return fakeWorkbook(rows); });
  }
  int64_t count(const std::string& sql) {
    auto rs = conn->query({sql, {}});
    rs->next();
    return rs->integer("n");
  }
  // Stored people without exactly their one education, position and assessment row.
  int64_t peopleNotWhole() {
    return count(
        "select count(*) as n from ryjbxx p where (select count(*) from ryxl where mid = p.id) <> 1 or "
        "(select count(*) from ryrz where mid = p.id) <> 1 or (select count(*) from rykh where mid = p.id) <> 1");
  }

  // Another user, on a thread of its own, holds a write lock on ryjbxx for `hold`.
  std::thread holdLock(std::chrono::milliseconds hold) {
    std::promise<void> held;
    std::future<void> ready = held.get_future();
    std::thread t([this, hold, held = std::move(held)]() mutable {
      auto other = backend.openAnother();
      {
        db::Transaction tx(*other);
        if (sqlite()) other->execute({"insert into dm_jg (id, jgdm) values (999, 'x')", {}});
        else other->execute({"lock table ryjbxx in exclusive mode", {}});
        held.set_value();
        std::this_thread::sleep_for(hold);
      }
    });
    ready.wait();
    return t;
  }

  Backend backend;
  std::unique_ptr<db::Connection> conn;
  codes::CodeMap codes;
  ColumnMap columns;
  RecordingFrontend frontend;
};

TYPED_TEST_SUITE(SharedDatabase, db::testing::AllBackends, db::testing::BackendNames);

TYPED_TEST(SharedDatabase, AnotherUsersLockIsWaitedFor) {
  for (const ImportMode mode : {ImportMode::Append, ImportMode::Overwrite}) {
    const char* name = mode == ImportMode::Append ? "append" : "overwrite";
    this->frontend = RecordingFrontend();
    std::thread holder = this->holdLock(1500ms);
    const ImportOutcome o = this->import(3, 30s, 5000, mode);
    holder.join();
    EXPECT_EQ(o.end, RunEnd::Completed) << name;
    EXPECT_EQ(o.personsStored, 3) << name;
    EXPECT_EQ(this->count("select count(*) as n from ryjbxx"), 3) << name;  // the overwrite replaced the first 3
    EXPECT_TRUE(this->frontend.only("error").empty()) << name;
    // SQLite says so from inside the statement; PostgreSQL waits on the server,
    // and the run says so where the overwrite's deletion meets the lock.
    if (this->sqlite() || mode == ImportMode::Overwrite)
      EXPECT_EQ(this->frontend.only("status1").front(), "数据库正被其他程序使用，正在等待…") << name;
  }
}

TYPED_TEST(SharedDatabase, LockHeldPastTheWaitEndsTheRunWithNothingHalfWritten) {
  std::thread holder = this->holdLock(3000ms);
  const ImportOutcome o = this->import(3, 300ms);
  holder.join();
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_EQ(o.dbFault, db::DbFault::Busy);
  EXPECT_EQ(o.personsStored, 0);
  EXPECT_EQ(this->count("select count(*) as n from ryjbxx"), 0);
  EXPECT_TRUE(this->frontend.only("error").empty()) << "no row is blamed";
  EXPECT_EQ(this->frontend.only("box"),
            (Lines{"数据库一直被其他程序使用,等待超时,导入中断,此前提交的人员已保存 / 错误"}));
  expectCountsAddUp(o, this->frontend, "held");
}

TYPED_TEST(SharedDatabase, DiskFullEndsTheRunWithWholeRows) {
  if (!this->sqlite()) GTEST_SKIP() << "the page limit is SQLite's";
  const int64_t pages = this->count("select page_count as n from pragma_page_count()");
  this->conn->execute({"pragma max_page_count = " + std::to_string(pages + 30), {}});
  const ImportOutcome o = this->import(3000, 1s, 100);
  EXPECT_EQ(o.end, RunEnd::Failed);
  ASSERT_TRUE(o.dbFault);
  EXPECT_TRUE(*o.dbFault == db::DbFault::OutOfResources || *o.dbFault == db::DbFault::TransactionLost);
  EXPECT_GT(o.personsStored, 0);
  EXPECT_LT(o.personsStored, 3000);
  EXPECT_EQ(this->count("select count(*) as n from ryjbxx"), o.personsStored);
  EXPECT_EQ(this->peopleNotWhole(), 0);
  EXPECT_TRUE(this->frontend.only("error").empty()) << "no row is blamed for a full disk";
  expectCountsAddUp(o, this->frontend, "disk full");
}

TYPED_TEST(SharedDatabase, WriteProtectedDatabaseEndsTheRunAtOnce) {
  if (!this->sqlite()) GTEST_SKIP() << "an SQLite setting";
  this->conn->execute({"pragma query_only = 1", {}});  // writes fail as on a read-only file
  const ImportOutcome o = this->import(5, 1s);
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_EQ(o.dbFault, db::DbFault::ReadOnly);
  EXPECT_EQ(o.rowsDone, 0);
  EXPECT_TRUE(this->frontend.only("error").empty());
}

// Two runs meet when one department's code begins with the other's.
TYPED_TEST(SharedDatabase, OverlappingDepartmentsMeetUnrelatedOnesDoNot) {
  struct Row {
    const char* name;
    const char* held;
    const char* wanted;
    bool meets;
  };
  const Row table[] = {
      {"the same department", "0101", "0101", true}, {"a department below", "01", "0101", true},
      {"a department above", "010101", "01", true},  {"the whole database", "", "0102", true},
      {"a sibling", "0101", "0102", false},          {"a longer sibling", "0101", "01020", false},
  };
  auto other = this->backend.openAnother();
  for (const Row& r : table) {
    auto held = departmentLock(*other, this->ownCode(r.held));
    auto wanted = departmentLock(*this->conn, this->ownCode(r.wanted));
    ASSERT_TRUE(held && wanted) << r.name;
    ASSERT_TRUE(held->tryTake()) << r.name;
    // SQLite holds the whole file for a run.
    EXPECT_EQ(!wanted->tryTake(), this->sqlite() || r.meets) << r.name;
    held.reset();
    EXPECT_TRUE(wanted->tryTake()) << r.name << ", once the other run has ended";
  }
}

}  // namespace
}  // namespace gz::imp
