// Whole runs on PostgreSQL, whose rows go out in batches: every per-row rule
// holds as when each statement waits for its answer. Runs when a test server
// is named (see db/tests/backends.h).
#include <gtest/gtest.h>

#include <algorithm>

#include "codes/code_map.h"
#include "db/payroll/schema.h"
#include "db/tests/backends.h"
#include "import/run/import_run.h"
#include "import/shared/tests/fakes.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<Cell>>;

const std::vector<Cell> kTitles = {"姓名",
                                   "出生年月",
                                   "参加工作时间",
                                   "个人身份",
                                   "不计算工龄的大专以上学龄（年）",
                                   "学历",
                                   "执行基本工资对应职务",
                                   "从2006年开始的考核情况"};

// A person born 1965-03-01 who started work 1985-08-01, with three years of
// college, three education lines (one without a code), two position lines
// and two assessments.
std::vector<Cell> person(const std::string& name) {
  return {name,
          Cell::date(23802),
          Cell::date(31260),
          "干部",
          "3",
          "1980.07中专\n1985.07大学\n1990.01函授",
          "1985.08科员\n1995.01科长",
          "2006优秀\n2007合格"};
}

Rows sheet(const std::vector<std::string>& names) {
  Rows rows{kTitles};
  for (const std::string& n : names) rows.push_back(person(n));
  return rows;
}

std::vector<std::string> numbered(int count, const char* prefix = "人") {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back(prefix + std::to_string(i));
  return names;
}

class BulkImport : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    for (auto [k, v] :
         {std::pair{"中专", "41"}, {"大学", "21"}, {"科员", "31"}, {"科长", "32"}, {"优秀", "1"}, {"合格", "2"}})
      codes.set(G(k), G(v));
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  ImportOutcome import(const Rows& rows, int commitEveryRows = 5000,
                       std::chrono::milliseconds wait = std::chrono::seconds(60)) {
    ImportRequest r;
    r.wait = wait;
    r.departmentCode = "0102";
    r.workbookPath = GZ_SOURCE_DIR "/CMakeLists.txt";  // any file: the sheet comes from `rows`
    r.commitEveryRows = commitEveryRows;
    r.commitEvery = std::chrono::hours(1);
    return AInputExecute(*conn, codes, columns, frontend, r,
                         [&rows](const std::string&) { return fakeWorkbook(rows); });
  }
  Lines query(const std::string& sql, std::vector<const char*> cols) {
    Lines out;
    auto rs = conn->query({G(sql), {}});
    while (rs->next()) {
      std::string line;
      for (const char* c : cols) line += (line.empty() ? "" : "|") + U(rs->text(c));
      out.push_back(line);
    }
    return out;
  }
  std::string count(const std::string& sql) { return query("select count(*) as n from " + sql, {"n"}).at(0); }
  void exec(const std::string& sql) { conn->execute({G(sql), {}}); }

  db::testing::PostgresBackend backend;
  std::unique_ptr<db::Connection> conn;
  codes::CodeMap codes;
  ColumnMap columns;
  RecordingFrontend frontend;
};

// Persons and history lines the database refuses, in the middle of a batch:
// the refused person is reported with its row and nothing of it is kept,
// the refused history line is dropped alone, every other row is whole, and
// the front end hears each row once, in order.
TEST_F(BulkImport, RefusalsInABatchTouchOnlyTheirRow) {
  db::createSchema(*conn);
  exec("alter table ryjbxx add constraint no_bad check (xm <> '坏人')");
  exec("alter table ryrz add constraint no_32 check (rzzwdm <> '32')");
  std::vector<std::string> names = numbered(6);
  names.insert(names.begin() + 3, "坏人");
  const ImportOutcome o = import(sheet(names));
  EXPECT_EQ(o.end, RunEnd::Completed) << U(o.message);
  EXPECT_EQ(o.rowsDone, 7);
  EXPECT_EQ(o.rowsFailed, 1);
  EXPECT_EQ(o.personsStored, 6);
  EXPECT_EQ(o.historyRowsStored, 6 * 5);  // two education, one position, two assessments each
  EXPECT_EQ(o.linesReported, 6);          // 函授 has no code; not told for the refused person

  ASSERT_EQ(frontend.rows.size(), 7u);
  for (std::size_t i = 0; i < frontend.rows.size(); ++i) {
    const RowOutcome& r = frontend.rows[i];
    EXPECT_EQ(r.row, static_cast<int32_t>(i) + 2);
    EXPECT_EQ(U(r.personName), names[i]);
    EXPECT_EQ(r.stored, names[i] != "坏人") << names[i];
    EXPECT_EQ(r.historyRowsStored, r.stored ? 5 : 0) << names[i];
  }
  EXPECT_EQ(U(frontend.rows[3].reason).rfind("数据库拒绝保存此人:", 0), 0u) << U(frontend.rows[3].reason);
  Lines told = frontend.only("import");
  EXPECT_EQ(Lines(told.begin() + 1, told.begin() + 8), Lines(names.begin(), names.end()));
  EXPECT_EQ(frontend.only("error").size(), 7u);  // six lines without a code, one refused person
  EXPECT_EQ(frontend.only("error")[3].rfind("第5行:坏人:数据库拒绝保存此人", 0), 0u) << frontend.only("error")[3];

  EXPECT_EQ(count("ryjbxx where xm = '坏人'"), "0");
  EXPECT_EQ(count("ryrz"), "6");
  EXPECT_EQ(count("ryxl a join ryjbxx b on a.mid = b.id"), "12");
  EXPECT_EQ(count("rykh a join ryjbxx b on a.mid = b.id"), "12");
  // The years figure lands on the last full-time line of each person.
  EXPECT_EQ(count("ryxl where xlrq = '1985-07-01' and dzysxl = 3"), "6");
  EXPECT_EQ(count("ryxl where dzysxl is null"), "6");
}

// The ids are numbered ahead from the id column's own sequence, whatever
// makes it (serial, identity by default or always), and follow the sheet's
// order; dates go into text columns as ISO text. Where id has no sequence of
// its own, each id is read back from its row.
TEST_F(BulkImport, IdsAndColumnTypesOfAnyKind) {
  struct Row {
    const char* name;
    const char* id;
    const char* dateType;
  };
  const Row rows[] = {
      {"serial, date columns", "id serial primary key", "date"},
      {"identity by default, text columns", "id integer generated by default as identity primary key", "varchar(10)"},
      {"identity always", "id bigint generated always as identity primary key", "date"},
      {"a default from a sequence it does not own", "id integer primary key default nextval('gz_ids')", "text"},
  };
  exec("create sequence gz_ids");
  for (const Row& r : rows) {
    const std::string id = r.id, date = r.dateType;
    exec("create table ryjbxx (" + id + ", bm varchar(40), xm varchar(40), grsf varchar(40), csny " + date + ", gzsj " +
         date +
         ", jkzk varchar(10), jxqyf integer, kjgl integer, dzysxl integer, bh varchar(20), "
         "sfzh varchar(30), xb varchar(10), mz varchar(10), kjtgnf integer)");
    exec("create table ryxl (id serial, mid integer, xxxs varchar(20), xlrq " + date +
         ", xldm varchar(20), dzysxl integer)");
    exec("create table ryrz (id serial, mid integer, rzrq " + date + ", rzzwdm varchar(20), gzzwdm varchar(20))");
    exec("create table rykh (id serial, mid integer, khnd integer, khjg numeric)");
    frontend.rows.clear();
    const ImportOutcome o = import(sheet(numbered(5)), 2);
    EXPECT_EQ(o.end, RunEnd::Completed) << r.name << ": " << U(o.message);
    EXPECT_EQ(o.personsStored, 5) << r.name;
    EXPECT_EQ(query("select xm, csny from ryjbxx order by id", {"xm", "csny"}),
              (Lines{"人1|1965-03-01", "人2|1965-03-01", "人3|1965-03-01", "人4|1965-03-01", "人5|1965-03-01"}))
        << r.name;
    EXPECT_EQ(count("ryxl a join ryjbxx b on a.mid = b.id where a.xlrq = '1985-07-01'"), "5") << r.name;
    ASSERT_EQ(frontend.rows.size(), 5u) << r.name;
    for (const RowOutcome& row : frontend.rows)
      EXPECT_EQ(count("ryjbxx where id = " + std::to_string(row.personId) + " and xm = '" + U(row.personName) + "'"),
                "1")
          << r.name;
    for (const char* t : {"ryjbxx", "ryxl", "ryrz", "rykh"}) exec(std::string("drop table ") + t);
  }
}

// A commit the database refuses undoes its whole batch: the run ends, the
// batches committed before stay, and the counts say what the database holds.
TEST_F(BulkImport, ALostTransactionEndsTheRun) {
  db::createSchema(*conn);
  exec("alter table ryjbxx add constraint one_name unique (xm) deferrable initially deferred");
  std::vector<std::string> names = numbered(7);
  names[5] = names[4];  // the second batch of three breaks the rule at its commit
  const ImportOutcome o = import(sheet(names), 3);
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_EQ(o.dbFault, db::DbFault::TransactionLost);
  EXPECT_EQ(o.personsStored, 3);
  EXPECT_EQ(o.historyRowsStored, 18);
  EXPECT_EQ(count("ryjbxx"), "3");
  EXPECT_EQ(count("ryxl"), "6");
  EXPECT_NE(U(o.message).find("最近一批未提交的记录已被数据库撤销"), std::string::npos) << U(o.message);
}

// The server connection ends in the middle of a batch: the run ends with a
// lost connection and keeps what was committed before.
TEST_F(BulkImport, ALostConnectionEndsTheRun) {
  db::createSchema(*conn);
  exec(
      "create function gz_end() returns trigger language plpgsql as $$ begin "
      "perform pg_terminate_backend(pg_backend_pid()); return new; end $$");
  exec("create trigger gz_end before insert on ryjbxx for each row when (new.xm = '人5') execute function gz_end()");
  const ImportOutcome o = import(sheet(numbered(8)), 3);
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_EQ(o.dbFault, db::DbFault::ConnectionLost);
  EXPECT_EQ(o.personsStored, 3);
  conn = backend.openAnother();
  EXPECT_EQ(count("ryjbxx"), "3");
}

// Another user holds a lock the batch needs past the wait: the run ends as
// busy with nothing of the batch stored, and its rows are not written again
// one by one (which would only wait once more) nor told as started.
TEST_F(BulkImport, ABatchThatWaitsTooLongEndsTheRun) {
  db::createSchema(*conn);
  std::unique_ptr<db::Connection> other = backend.openAnother();
  db::Transaction holding(*other);
  other->execute({"lock table ryxl in share mode", {}});
  const ImportOutcome o = import(sheet(numbered(4)), 5000, std::chrono::milliseconds(300));
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_EQ(o.dbFault, db::DbFault::Busy);
  EXPECT_EQ(o.personsStored, 0);
  EXPECT_TRUE(frontend.rows.empty());
  EXPECT_EQ(std::count(frontend.events.begin(), frontend.events.end(), "import: 人1"), 0) << "told as started";
  holding.rollback();
  EXPECT_EQ(count("ryjbxx"), "0");
}

// An abort between rows of a batch not yet sent: the rows before it are
// sent, settled and committed whole; nothing after it is read.
TEST_F(BulkImport, AnAbortInTheMiddleOfABatchKeepsTheRowsBefore) {
  db::createSchema(*conn);
  int rowsDone = 0;
  frontend.onEvents = [&] {
    if (++rowsDone == 4) frontend.abort = true;
  };
  const ImportOutcome o = import(sheet(numbered(10)));
  EXPECT_EQ(o.end, RunEnd::Aborted);
  EXPECT_EQ(o.rowsDone, 4);
  EXPECT_EQ(o.personsStored, 4);
  EXPECT_EQ(frontend.rows.size(), 4u);
  EXPECT_EQ(query("select xm from ryjbxx order by id", {"xm"}), (Lines{"人1", "人2", "人3", "人4"}));
  EXPECT_EQ(count("ryrz"), "8");
}

}  // namespace
}  // namespace gz::imp
