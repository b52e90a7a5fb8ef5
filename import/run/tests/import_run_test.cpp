#include "import/run/import_run.h"

#include <gtest/gtest.h>

#include <functional>

#include "codes/code_map.h"
#include "import/shared/tests/fakes.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<Cell>>;

const std::vector<Cell> kTitles = {
    "姓名", "出生年月", "参加工作时间", "个人身份", "学历", "执行基本工资对应职务", "从2006年开始的考核情况"};

std::vector<Cell> person(const char* name, Cell birth = Cell::date(23802)) {
  return {name, birth, Cell::date(31260), "干部", "1983.07大学", "1990.01科员", "2006优秀"};
}

class ImportRun : public ::testing::Test {
 protected:
  void SetUp() override {
    codes.set(G("大学"), "21");
    codes.set(G("科员"), "31");
    codes.set(G("优秀"), "1");
    request.departmentCode = " 0102\t";
    request.workbookPath = GZ_SOURCE_DIR "/CMakeLists.txt";  // any existing file: the sheet comes from `rows`
  }

  ImportOutcome run() {
    return AInputExecute(conn, codes, columns, frontend, request, [this](const std::string& path) {
      ++opened;
      if (unreadable) throw sheet::WorkbookError(sheet::WorkbookFault::NotAWorkbook, "not a workbook", path);
      return fakeWorkbook(rows);
    });
  }

  // Committed writes of one kind ("person", "insert into ryxl", ...).
  Lines committed(const std::string& prefix) const {
    Lines out;
    for (const auto& w : conn.committed)
      if (w.rfind(prefix, 0) == 0) out.push_back(w);
    return out;
  }

  Rows rows = {kTitles, person("张三"), person("李四")};
  codes::CodeMap codes;
  ColumnMap columns;
  FakeConnection conn;
  RecordingFrontend frontend;
  ImportRequest request;
  int opened = 0;
  bool unreadable = false;
};

TEST_F(ImportRun, AppendMessagesInOrder) {
  ImportOutcome o = run();
  EXPECT_EQ(frontend.events, (Lines{
                                 "import: XLS相配置!准备导入",
                                 "import: 张三",
                                 "import: 李四",
                                 "import: 导入人员2人,未导入0行,履历记录6条,报告0条",
                                 "status1: 数据导入成功!",
                                 "box: 数据导入成功! / 提示",
                             }));
  EXPECT_EQ(frontend.eventRounds, 2);  // once per row
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_TRUE(o.succeeded());
  EXPECT_EQ(o.rowsTotal, 2);
  EXPECT_EQ(o.personsStored, 2);
  EXPECT_EQ(o.historyRowsStored, 6);
  EXPECT_EQ(committed("person"), (Lines{"person 张三", "person 李四"}));
  EXPECT_EQ(committed("insert into rykh"), (Lines{"insert into rykh (mid,khnd,khjg ) values (57,2006,1)",
                                                  "insert into rykh (mid,khnd,khjg ) values (58,2006,1)"}));
  EXPECT_TRUE(conn.pending.empty());
  EXPECT_FALSE(conn.inTransaction);
  for (const auto& p : conn.persons) EXPECT_EQ(column(p, "bm"), db::Value(std::string("0102")));
  EXPECT_EQ(frontend.progressCalls.front(), std::make_pair(0, 2));
  EXPECT_EQ(frontend.progressCalls.back(), std::make_pair(2, 2));
}

TEST_F(ImportRun, DatesTypedAsYearMonthAreReportedOnceAfterTheRows) {
  rows = {kTitles, person("张三", Cell::num(1965.03)), person("李四", Cell::num(1965.1)), person("王五")};
  run();
  EXPECT_EQ(frontend.events, (Lines{
                                 "import: XLS相配置!准备导入",
                                 "import: 张三",
                                 "import: 李四",
                                 "import: 王五",
                                 "import: 出生年月按“年.月”读取: 2个单元格",
                                 "import: 导入人员3人,未导入0行,履历记录9条,报告0条",
                                 "status1: 数据导入成功!",
                                 "box: 数据导入成功! / 提示",
                             }));
  EXPECT_EQ(column(conn.persons[1], "csny"), db::Value(db::Date{1965, 10, 1}));
}

TEST_F(ImportRun, OverwriteDeletesAfterTheLayoutIsAcceptedInTheFirstBatch) {
  request.mode = ImportMode::Overwrite;
  run();
  EXPECT_EQ(frontend.only("import"), (Lines{"正在删除旧数据!", "XLS相配置!准备导入", "张三", "李四",
                                            "导入人员2人,未导入0行,履历记录6条,报告0条"}));
  EXPECT_EQ(frontend.eventRounds, 3);  // after the deletion line, then once per row
  ASSERT_GE(conn.committed.size(), 15u);
  EXPECT_EQ(conn.committed[0], "detach ryrz 0102%");
  EXPECT_EQ(conn.committed[14], "delete from ryjbxx where bm like '0102%'");
  EXPECT_EQ(conn.committed[15], "person 张三");
  // The deletion and the first rows are one transaction: one begin, one commit.
  EXPECT_EQ(std::count(conn.log.begin(), conn.log.end(), "commit"), 1);
}

TEST_F(ImportRun, OverwriteWithARejectedLayoutKeepsTheDepartment) {
  request.mode = ImportMode::Overwrite;
  rows = {{"姓名", "出生年月", "工作时间", "个人身份"}, person("张三")};
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::LayoutRejected);
  // No box, no status; the header is found under another name but not taken.
  EXPECT_EQ(frontend.events,
            (Lines{"found: 第1行", "import: XLS数据格式不配置!不能导入", "import: 第1行有所需的标题"}));
  EXPECT_TRUE(conn.log.empty());
}

TEST_F(ImportRun, AnUnreadableTitleRejectsTheLayout) {
  request.mode = ImportMode::Overwrite;
  Rows withBadTitle = rows;
  withBadTitle[0].push_back(Cell::unreadable("备�"));
  rows = withBadTitle;
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::LayoutRejected);
  EXPECT_EQ(frontend.events,
            (Lines{"import: 第1行第" + std::to_string(withBadTitle[0].size()) + "列的标题含无法识别的文字",
                   "import: XLS数据格式不配置!不能导入"}));
  EXPECT_TRUE(conn.log.empty());
}

TEST_F(ImportRun, OverwriteWithAnUnreadableWorkbookKeepsTheDepartment) {
  request.mode = ImportMode::Overwrite;
  unreadable = true;
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::WorkbookUnreadable);
  const std::string msg = "不能读取工作簿 " + std::string(GZ_SOURCE_DIR "/CMakeLists.txt") + ": not a workbook";
  EXPECT_EQ(frontend.events, (Lines{"import: " + msg, "box: " + msg + " / 失败"}));
  EXPECT_TRUE(conn.log.empty());
}

TEST_F(ImportRun, NoFileTouchesNothing) {
  for (const char* path : {"", GZ_SOURCE_DIR "/no such workbook.xls", GZ_SOURCE_DIR}) {
    frontend.events.clear();
    request.workbookPath = path;
    request.mode = ImportMode::Overwrite;
    ImportOutcome o = run();
    EXPECT_EQ(o.end, RunEnd::NoFile) << path;
    EXPECT_EQ(frontend.events, (Lines{"status1: 文件不存在!", "box: 未选择导入文件! / 失败"})) << path;
  }
  EXPECT_EQ(opened, 0);
  EXPECT_TRUE(conn.log.empty());
}

TEST_F(ImportRun, AbortAfterAWholeRow) {
  rows.push_back(person("王五"));
  frontend.abort = true;  // left over from before the run: cleared at its start
  frontend.onEvents = [this] { frontend.abort = frontend.eventRounds == 2; };
  ImportOutcome o = run();
  EXPECT_EQ(frontend.events, (Lines{
                                 "import: XLS相配置!准备导入",
                                 "import: 张三",
                                 "import: 李四",
                                 "status1: 用户中止!",
                                 "box: 用户中止! / 提示",
                                 "import: 导入人员2人,未导入0行,履历记录6条,报告0条",
                                 "import: 请从第4行继续导入",
                                 "status1: 数据导入成功!",
                                 "box: 数据导入成功! / 提示",
                             }));
  EXPECT_EQ(o.end, RunEnd::Aborted);
  EXPECT_EQ(o.resumeRow, 4);
  EXPECT_EQ(committed("person"), (Lines{"person 张三", "person 李四"}));
  EXPECT_EQ(committed("insert").size(), 6u);  // the second row is whole
  EXPECT_FALSE(conn.inTransaction);
}

// 中止 clicked while the overwrite's deletion lets events through: the flag
// set then is not cleared again, so the first row is the last.
TEST_F(ImportRun, AbortDuringTheDeletionStopsAfterTheFirstRow) {
  request.mode = ImportMode::Overwrite;
  rows.push_back(person("王五"));
  std::string lastBeforeAbort;
  frontend.onEvents = [&] {
    if (frontend.eventRounds != 1) return;
    lastBeforeAbort = frontend.events.back();
    frontend.abort = true;
  };
  ImportOutcome o = run();
  EXPECT_EQ(lastBeforeAbort, "import: 正在删除旧数据!");
  EXPECT_EQ(frontend.events, (Lines{
                                 "import: 正在删除旧数据!",
                                 "import: XLS相配置!准备导入",
                                 "import: 张三",
                                 "status1: 用户中止!",
                                 "box: 用户中止! / 提示",
                                 "import: 导入人员1人,未导入0行,履历记录3条,报告0条",
                                 "import: 请以追加方式从第3行继续导入",
                                 "status1: 数据导入成功!",
                                 "box: 数据导入成功! / 提示",
                             }));
  EXPECT_EQ(o.end, RunEnd::Aborted);
  EXPECT_EQ(o.rowsTotal, 3);
  EXPECT_EQ(o.rowsDone, 1);
  EXPECT_EQ(o.personsStored, 1);
  EXPECT_EQ(o.historyRowsStored, 3);
  // The deletion and the whole first row are committed; nothing is left open.
  ASSERT_EQ(conn.committed.size(), 19u);
  EXPECT_EQ(conn.committed[0], "detach ryrz 0102%");
  EXPECT_EQ(conn.committed[14], "delete from ryjbxx where bm like '0102%'");
  EXPECT_EQ(committed("person"), Lines{"person 张三"});
  EXPECT_EQ(committed("insert").size(), 3u);
  EXPECT_TRUE(conn.pending.empty());
  EXPECT_FALSE(conn.inTransaction);
}

TEST_F(ImportRun, DataEndsAtTheFirstEmptyName) {
  rows = {kTitles, person(""), person("张三")};
  ImportOutcome o = run();
  EXPECT_EQ(frontend.only("import"), (Lines{"XLS相配置!准备导入", "导入人员0人,未导入0行,履历记录0条,报告0条"}));
  EXPECT_EQ(frontend.only("box"), Lines{"数据导入成功! / 提示"});
  EXPECT_EQ(o.rowsTotal, 0);

  rows = {kTitles, person("张三"), {}, person("李四")};
  o = run();
  EXPECT_EQ(o.rowsTotal, 1);
  EXPECT_EQ(o.personsStored, 1);
}

TEST_F(ImportRun, FailedPersonStoresNothingOfItsRowAndIsReported) {
  rows = {kTitles, person("张三"), person("李四", "19x3"), person("王五")};
  ImportOutcome o = run();
  EXPECT_EQ(committed("person"), (Lines{"person 张三", "person 王五"}));
  // Neither stored under another person's id nor under a guessed one.
  EXPECT_EQ(committed("insert into ryxl").size(), 2u);
  EXPECT_EQ(conn.persons.size(), 2u);
  EXPECT_EQ(frontend.only("error"), Lines{"第3行:李四:出生年月\"19x3\"不是日期,此人未导入"});
  EXPECT_EQ(frontend.only("status1"), Lines{"数据导入完成,1行未导入!"});
  EXPECT_EQ(frontend.only("box"), Lines{"数据导入完成,1行未导入! / 提示"});
  EXPECT_EQ(o.rowsFailed, 1);
  EXPECT_EQ(o.personsStored, 2);
  EXPECT_FALSE(o.succeeded());
  EXPECT_EQ(frontend.only("import").back(), "导入人员2人,未导入1行,履历记录6条,报告0条");
}

TEST_F(ImportRun, PersonRefusedByTheDatabaseLeavesNoTrace) {
  conn.refusePersonNamed = "李四";
  ImportOutcome o = run();
  EXPECT_EQ(committed("person"), Lines{"person 张三"});
  EXPECT_EQ(committed("insert").size(), 3u);
  EXPECT_EQ(o.rowsFailed, 1);
  EXPECT_EQ(frontend.only("error"), Lines{"第3行:李四:数据库拒绝保存此人:person refused,此人未导入"});
}

TEST_F(ImportRun, RefusedHistoryStatementIsDroppedAlone) {
  conn.refuseContaining = "insert into ryrz";
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(o.personsStored, 2);
  EXPECT_EQ(o.historyRowsStored, 4);
  EXPECT_TRUE(committed("insert into ryrz").empty());
  EXPECT_TRUE(frontend.only("error").empty());
}

TEST_F(ImportRun, TitlesOfAnEarlierWorkbookAreNotRead) {
  run();
  rows = {{"姓名", "出生年月", "参加工作时间", "个人身份"},
          {"赵六", Cell::date(23802), Cell::date(31260), "工人", "1983.07大学"}};
  conn.committed.clear();
  ImportOutcome o = run();
  EXPECT_EQ(o.personsStored, 1);
  EXPECT_EQ(conn.committed, Lines{"person 赵六"});  // column 5 is no education column now
}

TEST_F(ImportRun, ASecondRunWhileOneRunsIsRefused) {
  ImportOutcome nested;
  frontend.onEvents = [&] {
    if (frontend.eventRounds == 1) nested = run();
  };
  ImportOutcome o = run();
  EXPECT_EQ(nested.end, RunEnd::AlreadyRunning);
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(o.personsStored, 2);
  EXPECT_EQ(frontend.only("box"), (Lines{"导入正在进行,不能同时开始另一次导入! / 提示", "数据导入成功! / 提示"}));
  EXPECT_FALSE(importRunning());
}

TEST_F(ImportRun, FailedDeletionDeletesNothing) {
  request.mode = ImportMode::Overwrite;
  conn.refuseContaining = "delete from rykh";
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_TRUE(conn.committed.empty());
  EXPECT_TRUE(conn.persons.empty());
  EXPECT_EQ(frontend.only("box").size(), 1u);
  EXPECT_NE(frontend.only("box")[0].find("/ 错误"), std::string::npos);
  // Nothing is committed, so the overwrite is simply run again.
  EXPECT_EQ(o.resumeRow, 2);
  EXPECT_FALSE(o.resumeByAppending);
  EXPECT_EQ(std::count(frontend.events.begin(), frontend.events.end(), "import: XLS相配置!准备导入"), 0);
}

TEST_F(ImportRun, FailureInARowKeepsTheRowsBeforeAndNothingOfIt) {
  rows.push_back(person("王五"));
  int tries = 0;
  conn.beforeOp = [&](const std::string& op) {
    // The third row's position insert: the connection is gone.
    if (op == "tryExecute" && ++tries == 8) throw db::DbError("connection lost");
  };
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_EQ(committed("person"), (Lines{"person 张三", "person 李四"}));
  EXPECT_EQ(conn.committed.size(), 8u);
  EXPECT_EQ(o.personsStored, 2);
  EXPECT_EQ(o.historyRowsStored, 6);
  EXPECT_EQ(frontend.only("box"), Lines{"导入因数据库错误中断,此前导入的人员已保存:connection lost / 错误"});
  EXPECT_EQ(frontend.only("status1"), Lines{"导入中断!"});
  EXPECT_EQ(frontend.only("import").back(), "请从第4行继续导入");
  EXPECT_FALSE(conn.inTransaction);
}

TEST_F(ImportRun, WithoutRowSavepointsAFailureHalfWayUndoesItsWholeBatch) {
  conn.fakeDialect().kindValue = db::DialectKind::Jet;  // Access has no savepoints; SQLite needs none
  for (const char* n : {"a", "b", "c", "d"}) rows.push_back(person(n));
  request.commitEveryRows = 2;
  request.commitEvery = std::chrono::hours(1);
  conn.refusePersonNamed = "李四";  // a refused person needs no savepoint to leave no trace
  int tries = 0;
  conn.beforeOp = [&](const std::string& op) {
    if (op == "tryExecute" && ++tries == 14) throw db::DbError("out of memory");  // row d, second line
  };
  ImportOutcome o = run();
  // Batches: (张三, 李四) (a, b) (c, d): the third is undone whole, c included.
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_EQ(committed("person"), (Lines{"person 张三", "person a", "person b"}));
  EXPECT_EQ(committed("insert").size(), 9u);
  EXPECT_EQ(o.personsStored, 3);
  EXPECT_EQ(o.historyRowsStored, 9);
  EXPECT_EQ(std::count(conn.log.begin(), conn.log.end(), "savepoint"), 0);
  EXPECT_FALSE(conn.inTransaction);
  // 李四 failed but its fate is committed; c, finished, went with its batch.
  EXPECT_EQ(o.resumeRow, 6);
}

TEST_F(ImportRun, RowsAreCommittedInBatchesBetweenRows) {
  for (const char* n : {"a", "b", "c", "d"}) rows.push_back(person(n));
  request.commitEveryRows = 2;
  request.commitEvery = std::chrono::hours(1);
  // A commit may only come between rows, never with a row half written.
  conn.beforeOp = [&](const std::string& op) {
    if (op == "commit") {
      EXPECT_EQ(conn.pending.size() % 4, 0u);
    }
  };
  ImportOutcome o = run();
  EXPECT_EQ(std::count(conn.log.begin(), conn.log.end(), "commit"), 3);
  EXPECT_EQ(std::count(conn.log.begin(), conn.log.end(), "begin"), 3);
  EXPECT_EQ(o.personsStored, 6);

  conn.log.clear();
  request.commitEveryRows = 1000;
  request.commitEvery = std::chrono::milliseconds(0);  // every row is past its time
  run();
  EXPECT_EQ(std::count(conn.log.begin(), conn.log.end(), "commit"), 6);
}

TEST_F(ImportRun, StartRowContinuesFromThatRow) {
  rows.push_back(person("王五"));
  request.firstRow = 3;
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(o.rowsTotal, 2);
  EXPECT_EQ(committed("person"), (Lines{"person 李四", "person 王五"}));
  EXPECT_EQ(frontend.progressCalls.back(), std::make_pair(2, 2));
  EXPECT_EQ(o.resumeRow, 0);

  // Continued again after an abort: the row to go on from counts from the start row.
  frontend.onEvents = [this] { frontend.abort = true; };
  o = run();
  EXPECT_EQ(o.end, RunEnd::Aborted);
  EXPECT_EQ(o.resumeRow, 4);
}

TEST_F(ImportRun, AStartRowOutsideTheDataTouchesNothing) {
  struct Row {
    const char* name;
    Rows sheet;
    int32_t firstRow;
    const char* message;
  };
  const Row cases[] = {
      {"past the last row", {kTitles, person("张三"), person("李四")}, 4, "起始行4不是数据行,数据行为第2行至第3行"},
      {"after the first empty name",
       {kTitles, person("张三"), {}, person("李四")},
       4,
       "起始行4不是数据行,数据行为第2行至第2行"},
      {"the title row", {kTitles, person("张三")}, 1, "起始行1不是数据行,数据行为第2行至第2行"},
      {"a sheet without data", {kTitles}, 3, "起始行3不是数据行,工作表没有数据行"},
  };
  for (const Row& c : cases) {
    rows = c.sheet;
    request.firstRow = c.firstRow;
    request.mode = ImportMode::Overwrite;
    frontend.events.clear();
    ImportOutcome o = run();
    EXPECT_EQ(o.end, RunEnd::StartRowOutside) << c.name;
    EXPECT_EQ(frontend.events, Lines{std::string("import: ") + c.message}) << c.name;
    EXPECT_TRUE(conn.log.empty()) << c.name;
  }
  // Row 2 of a sheet without data is an empty run, as always.
  request.firstRow = 2;
  EXPECT_EQ(run().end, RunEnd::Completed);
}

TEST_F(ImportRun, AnAbortAfterTheLastRowLeavesNothingToContinue) {
  frontend.onEvents = [this] { frontend.abort = frontend.eventRounds == 2; };
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Aborted);
  EXPECT_EQ(o.resumeRow, 0);
  EXPECT_EQ(frontend.only("import").back(), "导入人员2人,未导入0行,履历记录6条,报告0条");
}

// A sheet with id card numbers: rows 2 and 5 are people the department has
// (one written with a small x, one as a number), row 3 has no number.
class Duplicates : public ImportRun {
 protected:
  void SetUp() override {
    ImportRun::SetUp();
    std::vector<Cell> titles = kTitles;
    titles.push_back("身份证号");
    auto withId = [](const char* name, Cell id) {
      std::vector<Cell> r = person(name);
      r.push_back(std::move(id));
      return r;
    };
    rows = {titles, withId("张三", "11010119650301001x"), withId("李四", ""), withId("王五", "110101197001010022"),
            withId("赵六", Cell::num(110101650301002))};
    conn.storedIdCards = {{"张三", " 11010119650301001X"}, {"某人", "110101650301002"}, {"他人", "999"}};
  }
  // The id card queries among all queries (the run's lock asks too).
  Lines idCardQueries() const {
    Lines found;
    for (const std::string& q : conn.queries)
      if (q.rfind("idcards ", 0) == 0) found.push_back(q);
    return found;
  }
};

TEST_F(Duplicates, TheAnswerDecidesWhichRowsAreWritten) {
  struct Row {
    const char* name;
    DuplicateAnswer answer;
    RunEnd end;
    Lines persons;
    int skipped;
    int total;
  };
  const Row cases[] = {
      {"cancel", DuplicateAnswer::Cancel, RunEnd::Cancelled, {}, 0, 0},
      {"skip existing", DuplicateAnswer::SkipExisting, RunEnd::Completed, {"person 李四", "person 王五"}, 2, 2},
      {"import all",
       DuplicateAnswer::ImportAll,
       RunEnd::Completed,
       {"person 张三", "person 李四", "person 王五", "person 赵六"},
       0,
       4},
  };
  for (const Row& c : cases) {
    conn.committed.clear();
    conn.log.clear();
    frontend.events.clear();
    frontend.duplicateAnswer = c.answer;
    ImportOutcome o = run();
    EXPECT_EQ(o.end, c.end) << c.name;
    EXPECT_EQ(frontend.events.front(), "duplicates: 2 张三 11010119650301001x, 5 赵六 110101650301002") << c.name;
    EXPECT_EQ(committed("person"), c.persons) << c.name;
    EXPECT_EQ(o.rowsSkipped, c.skipped) << c.name;
    EXPECT_EQ(o.rowsTotal, c.total) << c.name;
    // Asked before anything is written.
    EXPECT_EQ(conn.log.front(), "query") << c.name;
  }
  EXPECT_EQ(idCardQueries(), Lines(3, "idcards 0102"));  // once per run
}

// The same number again further down the workbook, however it is written,
// is put to the same question, naming the earlier row; in overwrite mode too,
// where the department's own numbers no longer count.
TEST_F(Duplicates, ANumberRepeatedInTheWorkbookNamesTheEarlierRow) {
  std::vector<Cell> titles = kTitles;
  titles.push_back("身份证号");
  auto withId = [](const char* name, Cell id) {
    std::vector<Cell> r = person(name);
    r.push_back(std::move(id));
    return r;
  };
  rows = {titles, withId("张三", "11010519491231002X"), withId("李四", "110105 19491231002x"),
          withId("王五", "１１０１０５１９４９１２３１００２Ｘ"), withId("赵六", "110101650301002")};
  struct Row {
    const char* name;
    ImportMode mode;
    DuplicateAnswer answer;
    RunEnd end;
    Lines persons;
    const char* refused;
  };
  // 赵六's 110101650301002 is the department's: it counts only when appending.
  const Row cases[] = {
      {"append, cancel",
       ImportMode::Append,
       DuplicateAnswer::Cancel,
       RunEnd::Cancelled,
       {},
       "3人的身份证号已在本部门或与工作簿中前面的行相同,未导入任何人员"},
      {"overwrite, cancel",
       ImportMode::Overwrite,
       DuplicateAnswer::Cancel,
       RunEnd::Cancelled,
       {},
       "2人的身份证号已在本部门或与工作簿中前面的行相同,未导入任何人员"},
      {"append, only new", ImportMode::Append, DuplicateAnswer::SkipExisting, RunEnd::Completed, {"person 张三"}, ""},
  };
  for (const Row& c : cases) {
    conn.committed.clear();
    frontend.events.clear();
    frontend.duplicateAnswer = c.answer;
    request.mode = c.mode;
    ImportOutcome o = run();
    EXPECT_EQ(o.end, c.end) << c.name;
    EXPECT_EQ(committed("person"), c.persons) << c.name;
    EXPECT_EQ(U(o.message), c.refused) << c.name;
  }
  EXPECT_EQ(frontend.only("import"),
            (Lines{"第3行:李四:身份证号110105 19491231002x与第2行张三相同,跳过",
                   "第4行:王五:身份证号１１０１０５１９４９１２３１００２Ｘ与第2行张三相同,跳过",
                   "第5行:赵六:身份证号110101650301002已在本部门,跳过", "XLS相配置!准备导入", "张三",
                   // 张三's number holds another birth month than his row
                   "导入人员1人,未导入0行,跳过3行,履历记录3条,报告0条,提示1条"}));
}

// Only numbers in the form of one are compared: cells that say there is no
// number yet, a title in a shifted column or a number a digit short are
// nobody's, however often they repeat or the department holds them too.
TEST_F(Duplicates, CellsWithoutANumberAreNeverDuplicates) {
  std::vector<Cell> titles = kTitles;
  titles.push_back("身份证号");
  auto withId = [](const char* name, Cell id) {
    std::vector<Cell> r = person(name);
    r.push_back(std::move(id));
    return r;
  };
  rows = {titles,
          withId("张三", "无"),
          withId("李四", "无"),
          withId("王五", "干部"),
          withId("赵六", "干部"),
          withId("钱七", "11010119650301001"),
          withId("孙八", "１１０１０１１９６５０３０１００１"),
          withId("周九", "待补"),
          withId("吴十", Cell::num(1234567))};
  conn.storedIdCards = {{"某人", "待补"}, {"他人", "无"}, {"旁人", "1234567"}};
  const Lines all = {"person 张三", "person 李四", "person 王五", "person 赵六",
                     "person 钱七", "person 孙八", "person 周九", "person 吴十"};
  for (const ImportMode mode : {ImportMode::Append, ImportMode::Overwrite}) {
    conn.committed.clear();
    frontend.events.clear();
    frontend.duplicateAnswer = DuplicateAnswer::Cancel;
    request.mode = mode;
    const ImportOutcome o = run();
    const auto name = mode == ImportMode::Append ? "append" : "overwrite";
    EXPECT_EQ(o.end, RunEnd::Completed) << name;
    EXPECT_EQ(frontend.only("duplicates"), Lines{}) << name;
    EXPECT_EQ(committed("person"), all) << name;
    // Each still gets the warning that it is no identity number, 孙八's
    // also the one about full-width digits.
    EXPECT_EQ(frontend.only("import").back(), "导入人员8人,未导入0行,履历记录24条,报告0条,提示9条") << name;
  }
}

TEST_F(Duplicates, SkippedRowsAreListedAndCounted) {
  frontend.duplicateAnswer = DuplicateAnswer::SkipExisting;
  ImportOutcome o = run();
  EXPECT_EQ(frontend.only("import"),
            (Lines{"第2行:张三:身份证号11010119650301001x已在本部门,跳过",
                   "第5行:赵六:身份证号110101650301002已在本部门,跳过", "XLS相配置!准备导入", "李四", "王五",
                   // 王五's number has a wrong check digit and another birth month
                   "导入人员2人,未导入0行,跳过2行,履历记录6条,报告0条,提示2条"}));
  EXPECT_TRUE(o.succeeded());
}

TEST_F(Duplicates, ARunStoppedAmongSkippedRowsContinuesAfterTheLastWrittenOne) {
  frontend.duplicateAnswer = DuplicateAnswer::SkipExisting;
  frontend.onEvents = [this] { frontend.abort = true; };  // after the first written row, 李四
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Aborted);
  EXPECT_EQ(o.resumeRow, 4);
}

TEST_F(Duplicates, NoQueryWhereNoRowCanBeOne) {
  struct Row {
    const char* name;
    std::function<void(ImportRequest&, Rows&)> setUp;
  };
  const Row cases[] = {
      {"overwrite", [](ImportRequest& r, Rows&) { r.mode = ImportMode::Overwrite; }},
      {"check turned off", [](ImportRequest& r, Rows&) { r.checkDuplicates = false; }},
      {"no id card column", [](ImportRequest&, Rows& sheet) { sheet = {kTitles, person("张三")}; }},
  };
  for (const Row& c : cases) {
    request = ImportRequest{};
    SetUp();
    conn.queries.clear();
    frontend.events.clear();
    c.setUp(request, rows);
    ImportOutcome o = run();
    EXPECT_EQ(o.end, RunEnd::Completed) << c.name;
    EXPECT_EQ(idCardQueries(), Lines{}) << c.name;
    EXPECT_EQ(frontend.only("duplicates"), Lines{}) << c.name;
  }
}

TEST_F(Duplicates, AFailingQueryEndsTheRunBeforeAnythingIsWritten) {
  conn.beforeOp = [this](const std::string& op) {
    if (op == "query" && !idCardQueries().empty()) throw db::DbError(db::DbFault::ConnectionLost, "server gone");
  };
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_EQ(o.resumeRow, 2);
  EXPECT_TRUE(conn.persons.empty());
}

TEST_F(ImportRun, RowsNotStoredAreKeptWithTheirCellsForTheRejectWorkbook) {
  rows = {kTitles, person("张三"), person("李四", "19x3"), person("王五")};
  ImportOutcome o = run();
  ASSERT_EQ(o.rejects.rows.size(), 1u);
  const RejectedRow& r = o.rejects.rows[0];
  EXPECT_EQ(r.row, 3);
  EXPECT_EQ(U(r.reason), "出生年月\"19x3\"不是日期");
  ASSERT_EQ(o.rejects.titles.size(), kTitles.size());
  EXPECT_EQ(U(o.rejects.titles[0].text), "姓名");
  ASSERT_EQ(r.cells.size(), kTitles.size());
  EXPECT_EQ(U(r.cells[0].text), "李四");
  EXPECT_EQ(U(r.cells[1].text), "19x3");
  EXPECT_TRUE(r.cells[2].isDate);
  EXPECT_EQ(r.cells[2].number, 31260);

  rows = {kTitles, person("张三")};
  EXPECT_TRUE(run().rejects.rows.empty());
  EXPECT_TRUE(run().rejects.titles.empty());
}

// A run that fails: a row not stored in the batch the database undid is the
// next run's to import, not a reject.
TEST_F(ImportRun, RowsFromTheRowToContinueFromAreNoRejects) {
  conn.fakeDialect().kindValue = db::DialectKind::Jet;
  for (const char* n : {"a", "b"}) rows.push_back(person(n));
  rows.push_back(person("c", "19x3"));
  rows.push_back(person("d"));
  request.commitEveryRows = 2;
  request.commitEvery = std::chrono::hours(1);
  conn.refusePersonNamed = "李四";
  int tries = 0;
  conn.beforeOp = [&](const std::string& op) {
    if (op == "tryExecute" && ++tries == 11) throw db::DbError("out of memory");  // row d, second line
  };
  ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Failed);
  EXPECT_EQ(o.resumeRow, 6);
  ASSERT_EQ(o.rejects.rows.size(), 1u);
  EXPECT_EQ(o.rejects.rows[0].row, 3);
}

TEST_F(ImportRun, HistoryReportsAreCountedAndShown) {
  rows = {kTitles, {"张三", Cell::date(23802), Cell::date(31260), "干部", "1983.07博士", "1990.01处长", "2006差"}};
  ImportOutcome o = run();
  EXPECT_EQ(frontend.only("error"), (Lines{"学历:张三:博士", "职务:张三:处长", "考核:张三:差"}));
  EXPECT_EQ(o.linesReported, 3);
  EXPECT_TRUE(o.succeeded());  // reports do not make a row fail
}

}  // namespace
}  // namespace gz::imp
