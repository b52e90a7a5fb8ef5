// Each stage of the import run on its own: what it hands on, and the outcome
// with which it ends a run.
#include "import/run/run_stages.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "codes/code_map.h"
#include "import/shared/column_map.h"
#include "import/shared/tests/fakes.h"
#include "import/writers/batch_writer.h"
#include "sheet/open_workbook.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<Cell>>;

const std::vector<Cell> kTitles = {"姓名", "出生年月", "参加工作时间", "个人身份", "学历"};
std::vector<Cell> person(const char* name, Cell birth = Cell::date(23802)) {
  return {name, birth, Cell::date(31260), "干部", "1983.07大学"};
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(CheckStage, AMissingWorkbookEndsTheRunAndSaysWhich) {
  struct Row {
    const char* name;
    std::string path;
    std::optional<std::string> message;  // UTF-8; nullopt: the run goes on
  };
  const Row rows[] = {
      {"no workbook chosen", "", "未选择导入文件!"},
      {"a named file that is not there", GZ_SOURCE_DIR "/nothere.xls", "工作簿不存在: " GZ_SOURCE_DIR "/nothere.xls"},
      {"a folder", GZ_SOURCE_DIR, "工作簿不存在: " GZ_SOURCE_DIR},
      {"a file", GZ_SOURCE_DIR "/CMakeLists.txt", std::nullopt},
  };
  for (const Row& r : rows) {
    const std::optional<ImportOutcome> end = checkWorkbook(r.path);
    ASSERT_EQ(end.has_value(), r.message.has_value()) << r.name;
    if (!end) continue;
    EXPECT_EQ(end->end, RunEnd::NoFile) << r.name;
    EXPECT_EQ(U(end->message), *r.message) << r.name;
  }
}

TEST(OpenStage, AnUnreadableWorkbookEndsTheRunWithItsKindAndNamesTheFileOnce) {
  const std::string path = GZ_SOURCE_DIR "/CMakeLists.txt";
  OpenedWorkbook real = openWorkbookFile(path, &sheet::openWorkbook);
  ASSERT_FALSE(real.book);
  EXPECT_EQ(real.failure.end, RunEnd::WorkbookUnreadable);
  EXPECT_EQ(real.failure.workbookFault, sheet::WorkbookFault::NotAWorkbook);
  EXPECT_EQ(U(real.failure.message), "不能读取工作簿 " + path + ": 不是Excel工作簿");
  EXPECT_EQ(occurrences(U(real.failure.message), path), 1u);

  for (sheet::WorkbookFault fault : {sheet::WorkbookFault::Damaged, sheet::WorkbookFault::Encrypted,
                                     sheet::WorkbookFault::WrongPassword, sheet::WorkbookFault::Unreadable}) {
    OpenedWorkbook opened = openWorkbookFile(path, [fault](const std::string& p) -> std::unique_ptr<sheet::Workbook> {
      throw sheet::WorkbookError(fault, "reason", p);
    });
    EXPECT_EQ(opened.failure.workbookFault, fault);
    EXPECT_EQ(occurrences(U(opened.failure.message), path), 1u) << U(opened.failure.message);
  }
  OpenedWorkbook good = openWorkbookFile(path, [](const std::string&) { return fakeWorkbook({kTitles}); });
  EXPECT_TRUE(good.book);
}

TEST(RecogniseStage, AcceptsTheRequiredTitlesAndCountsRowsToTheFirstEmptyName) {
  struct Row {
    const char* name;
    Rows sheet;
    std::optional<int> dataRows;  // nullopt: rejected
    int32_t unreadableTitle = 0;
  };
  const Row rows[] = {
      {"two people", {kTitles, person("张三"), person("李四")}, 2},
      {"no data rows", {kTitles}, 0},
      {"data ends at the first empty name", {kTitles, person("张三"), person(""), person("李四")}, 1},
      {"titles in another order", {{"个人身份", "参加工作时间", "出生年月", "姓名"}, {"干部", "", "", "张三"}}, 1},
      {"no personal status", {{"姓名", "出生年月", "参加工作时间"}, {"张三"}}, std::nullopt},
      {"work time without its join form", {{"姓名", "出生年月", "工作时间", "个人身份"}, {"张三"}}, std::nullopt},
      {"empty sheet", {}, std::nullopt},
      {"an unreadable title beside the required ones",
       {{"姓名", "出生年月", "参加工作时间", "个人身份", Cell::unreadable("备�")}, {"张三"}},
       std::nullopt,
       5},
  };
  for (const Row& r : rows) {
    const std::unique_ptr<sheet::Workbook> sheetBook = fakeWorkbook(r.sheet);
    const sheet::Workbook& book = *sheetBook;
    ColumnMap columns;
    int32_t unreadableTitle = -1;
    TitleSearch search;
    const std::optional<SheetLayout> layout = recogniseLayout(book, columns, unreadableTitle, TitleNames(), search);
    // Accepted as row 1 stands, not as a header the search found.
    ASSERT_EQ(layout.has_value() && !search.found, r.dataRows.has_value()) << r.name;
    EXPECT_EQ(unreadableTitle, r.unreadableTitle) << r.name;
    if (r.dataRows) {
      EXPECT_EQ(layout->dataRows, *r.dataRows) << r.name;
    }
  }
}

// A writer with its fake database, as the run makes it for PostgreSQL.
class WritingStage : public ::testing::Test {
 protected:
  FakeConnection conn;
  RecordingFrontend frontend;
  ImportOutcome out;
  RowTally tally{frontend, out};
  BatchWriter writer{conn, {frontend, tally}, 1000, std::chrono::hours(1), true};
};

TEST_F(WritingStage, DeletionJoinsTheFirstBatchAndIsUndoneWholeOnFailure) {
  deleteEarlierPeople(writer, frontend, "0102");
  EXPECT_EQ(frontend.events, Lines{"import: 正在删除旧数据!"});
  EXPECT_EQ(frontend.eventRounds, 1);  // the line shows before the statements run
  EXPECT_TRUE(conn.committed.empty());
  EXPECT_EQ(conn.pending.size(), 15u);
  EXPECT_EQ(conn.pending.back(), "delete from ryjbxx where bm like '0102%'");
  writer.commit();
  EXPECT_EQ(conn.committed.size(), 15u);

  conn.committed.clear();
  conn.refuseContaining = "delete from rykh";
  EXPECT_THROW(deleteEarlierPeople(writer, frontend, "0102"), db::DbError);
  EXPECT_TRUE(conn.pending.empty());
  EXPECT_FALSE(conn.inTransaction);
  EXPECT_TRUE(writer.salvage());  // nothing is left that a closing could commit
  EXPECT_TRUE(conn.committed.empty());
}

// The server waits for another user's lock inside the statement, where the
// run cannot speak: the deletion tries with a short wait first, and when that
// runs out it says that it waits and tries again with the rest.
TEST_F(WritingStage, DeletionMeetingALockSaysSoThenWaitsTheRest) {
  int executed = 0;
  conn.beforeOp = [&](const std::string& op) {
    if (op == "execute" && ++executed == 15) throw db::DbError(db::DbFault::Busy, "lock timeout");
  };
  deleteEarlierPeople(writer, frontend, "0102", std::chrono::seconds(10));
  EXPECT_EQ(frontend.events, (Lines{"import: 正在删除旧数据!", "import: 数据库正被其他程序使用，正在等待…",
                                    "status1: 数据库正被其他程序使用，正在等待…"}));
  EXPECT_EQ(conn.settings, (Lines{"set lock_timeout = 500", "set lock_timeout = 9500", "set lock_timeout = 10000"}));
  EXPECT_EQ(conn.pending.size(), 15u);  // the first try was undone to its savepoint
  EXPECT_EQ(conn.pending.back(), "delete from ryjbxx where bm like '0102%'");
}

class RowsStage : public WritingStage {
 protected:
  void SetUp() override { codes.set(G("大学"), "21"); }
  bool run(const Rows& sheet, int32_t firstRow = kFirstDataRow) {
    book = fakeWorkbook(sheet);
    ColumnMap map;
    EXPECT_EQ(ReadColumnTitles(*book, map), 0);
    columns = SheetColumns::resolve(map);
    return importRows(RowsInput{*book, columns, codes, "0102", firstRow}, writer, frontend, 0);
  }

  codes::CodeMap codes;
  std::unique_ptr<sheet::Workbook> book;
  SheetColumns columns;
};

TEST_F(RowsStage, EachRowsOutcomeGoesToTheSinkInOrder) {
  const bool aborted = run({kTitles, person("张三"), person("李四", "19x3"), person("王五"), person("")});
  EXPECT_FALSE(aborted);
  ASSERT_EQ(frontend.rows.size(), 3u);
  const RowOutcome& failed = frontend.rows[1];
  EXPECT_EQ(failed.row, 3);
  EXPECT_EQ(U(failed.personName), "李四");
  EXPECT_FALSE(failed.stored);
  EXPECT_EQ(U(failed.reason), "出生年月\"19x3\"不是日期");
  for (const RowOutcome* stored : {&frontend.rows[0], &frontend.rows[2]}) {
    EXPECT_TRUE(stored->stored);
    EXPECT_GT(stored->personId, 0);
    EXPECT_EQ(stored->historyRowsStored, 1);
  }
  EXPECT_EQ(out.rowsDone, 3);
  EXPECT_EQ(out.rowsFailed, 1);
  EXPECT_EQ(frontend.eventRounds, 3);  // events run once per row
  writer.commit();
  EXPECT_EQ(writer.personsCommitted(), 2);
  EXPECT_EQ(writer.historyRowsCommitted(), 2);
}

TEST_F(RowsStage, StartsAtTheRowItIsGiven) {
  run({kTitles, person("张三"), person("李四"), person("王五")}, 3);
  ASSERT_EQ(frontend.rows.size(), 2u);
  EXPECT_EQ(frontend.rows[0].row, 3);
  EXPECT_EQ(U(frontend.rows[0].personName), "李四");
}

TEST_F(RowsStage, AnAbortStopsAfterTheWholeRow) {
  frontend.onEvents = [this] { frontend.abort = true; };
  EXPECT_TRUE(run({kTitles, person("张三"), person("李四")}));
  EXPECT_EQ(out.rowsDone, 1);
  writer.commit();
  EXPECT_EQ(conn.committed,
            (Lines{"person 张三", "insert into ryxl (mid,xxxs,xlrq,xldm) values (57,'全日制','1983-07-1','21')"}));
}

TEST_F(RowsStage, AFailureInARowLeavesTheCountsOfTheRowsBefore) {
  int tries = 0;
  conn.beforeOp = [&](const std::string& op) {
    if (op == "tryExecute" && ++tries == 2) throw db::DbError(db::DbFault::ConnectionLost, "gone");
  };
  EXPECT_THROW(run({kTitles, person("张三"), person("李四")}), db::DbError);
  EXPECT_EQ(out.rowsDone, 1);
  EXPECT_EQ(frontend.rows.size(), 1u);
}

TEST_F(WritingStage, ClosingAfterAFailureKeepsWhatTheDatabaseStillHas) {
  struct Row {
    const char* name;
    std::exception_ptr failure;
    bool kept;                               // the rows finished before it are committed
    std::optional<db::DbFault> fault;
    const char* message;                     // how the message begins
  };
  const Row rows[] = {
      {"a lost connection", std::make_exception_ptr(db::DbError(db::DbFault::ConnectionLost, "gone")), true,
       db::DbFault::ConnectionLost, "与数据库的连接已断开,导入中断,此前提交的人员已保存: fake database"},
      {"a transaction the database undid", std::make_exception_ptr(db::TransactionLost("undone")), false,
       db::DbFault::TransactionLost, "导入因数据库错误中断,最近一批未提交的记录已被数据库撤销:"},
      {"not a database failure", std::make_exception_ptr(std::runtime_error("cell unreadable")), true, std::nullopt,
       "导入因数据库错误中断,此前导入的人员已保存:"},
      {"a lock held past the wait: the open batch goes without a second wait",
       std::make_exception_ptr(db::DbError(db::DbFault::Busy, "locked")), false, db::DbFault::Busy,
       "数据库一直被其他程序使用,等待超时,导入中断,此前提交的人员已保存"},
  };
  for (const Row& r : rows) {
    FakeConnection db;
    RecordingFrontend events;
    BatchWriter batch(db, {events, events}, 1000, std::chrono::hours(1), true);
    RowOutcome finished;
    finished.stored = true;
    batch.beginRow({});
    db::insertPerson(db, {});
    batch.endRow(finished);
    batch.beginRow({});  // unfinished when the failure comes
    db::insertPerson(db, {});
    ImportOutcome out;
    try {
      std::rethrow_exception(r.failure);
    } catch (const std::exception& e) {
      closeAfterFailure(e, batch, out);
    }
    EXPECT_EQ(out.end, RunEnd::Failed) << r.name;
    EXPECT_EQ(out.dbFault, r.fault) << r.name;
    EXPECT_EQ(out.personsStored, r.kept ? 1 : 0) << r.name;
    EXPECT_EQ(db.committed.size(), r.kept ? 1u : 0u) << r.name;
    EXPECT_FALSE(db.inTransaction) << r.name;
    const std::string message = U(out.message);
    EXPECT_EQ(message.rfind(r.message, 0), 0u) << r.name << ": " << message;
  }
}

}  // namespace
}  // namespace gz::imp
