// Whole runs on a real SQLite database with the generated workbooks.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "codes/code_map.h"
#include "db/open_database.h"
#include "db/schema.h"
#include "import/import_run.h"
#include "import/tests/fakes.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

const std::string kPeople = GZ_TEST_DATA "/import/people.xls";
const std::string kRejected = GZ_TEST_DATA "/import/layout_rejected.xls";

class SqliteImport : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    conn = db::createSqliteDatabase(QDir(dir.path()).filePath("gzgl.db").toStdString());
    db::createSchema(*conn);
    for (auto [k, v] : {std::pair{"1", "1"}, {"2", "2"}, {"汉族", "01"}, {"中专", "41"}, {"大学", "21"},
                        {"科员", "31"}, {"科长", "32"}, {"优秀", "1"}, {"合格", "2"}})
      codes.set(G(k), G(v));
  }

  ImportOutcome import(const std::string& path, ImportMode mode = ImportMode::Append, const char* dept = "0102") {
    ImportRequest r;
    r.departmentCode = dept;
    r.workbookPath = path;
    r.mode = mode;
    return AInputExecute(*conn, codes, columns, frontend, r);
  }

  // Rows of a query, each as its columns' texts joined by "|" (UTF-8).
  Lines rows(const std::string& sql, std::vector<const char*> cols) {
    Lines out;
    auto rs = conn->query({sql, {}});
    while (rs->next()) {
      std::string line;
      for (const char* c : cols) line += (line.empty() ? "" : "|") + U(rs->text(c));
      out.push_back(line);
    }
    return out;
  }
  void exec(const std::string& sql) { conn->execute({G(sql), {}}); }

  QTemporaryDir dir;
  std::unique_ptr<db::Connection> conn;
  codes::CodeMap codes;
  ColumnMap columns;
  RecordingFrontend frontend;
};

TEST_F(SqliteImport, PeopleWorkbook) {
  ImportOutcome o = import(kPeople);
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(o.rowsTotal, 3);
  EXPECT_EQ(o.personsStored, 2);
  EXPECT_EQ(o.rowsFailed, 1);
  EXPECT_EQ(o.historyRowsStored, 9);
  EXPECT_EQ(o.linesReported, 2);

  EXPECT_EQ(rows("select * from ryjbxx order by id",
                 {"bm", "xm", "bh", "xb", "mz", "csny", "gzsj", "grsf", "sfzh", "jkzk", "jxqyf", "kjgl", "dzysxl"}),
            (Lines{
                "0102|张三|1|1|01|1965-03-01|1985-08-01|干部|110101196503010011|10|12|-6|42",
                "0102|王五|3|2||1970-12-31|1992-09-01|干部|11010119701231002|10|12||11",
            }));
  EXPECT_EQ(rows("select * from ryxl order by mid, xlrq", {"xxxs", "xlrq", "xldm", "dzysxl"}),
            (Lines{"全日制|1980-07-01|41|", "全日制|1985-07-01|21|3", "全日制|1992-07-01|21|"}));
  EXPECT_EQ(rows("select * from ryrz order by mid, rzrq", {"rzrq", "rzzwdm", "gzzwdm"}),
            (Lines{"1985-08-01|31|31", "1995-01-01|32|32", "1992-09-01|31|31"}));
  EXPECT_EQ(rows("select * from rykh order by mid, khnd", {"khnd", "khjg"}), (Lines{"2006|1", "2007|2", "2006|2"}));

  EXPECT_EQ(frontend.only("error"), (Lines{"学历:张三:研究生", "考核:张三:基本合格",
                                           "第3行:李四:出生年月\"19x3\"不是日期,此人未导入"}));
  EXPECT_EQ(frontend.only("import"), (Lines{"XLS相配置!准备导入", "张三", "李四", "王五",
                                            "导入人员2人,未导入1行,履历记录9条,报告2条"}));
  EXPECT_EQ(frontend.only("box"), Lines{"数据导入完成,1行未导入! / 提示"});
}

TEST_F(SqliteImport, OverwriteReplacesTheDepartmentAndItsSubDepartments) {
  exec("insert into ryjbxx (id, bm, xm) values (1, '0102', '旧甲'), (2, '010203', '旧乙'), (3, '0103', '别部')");
  exec("insert into ryxl (mid, xldm) values (1, '21'), (2, '21'), (3, '21'), (0, '99')");
  exec("insert into rykh (mid, khnd) values (2, 2006), (3, 2006)");
  exec("insert into ryjc (mid) values (1), (0)");

  ImportOutcome o = import(kPeople, ImportMode::Overwrite);
  EXPECT_EQ(o.personsStored, 2);
  EXPECT_EQ(frontend.only("import")[0], "正在删除旧数据!");
  EXPECT_EQ(rows("select * from ryjbxx order by id", {"bm", "xm"}), (Lines{"0103|别部", "0102|张三", "0102|王五"}));
  EXPECT_EQ(rows("select * from ryxl where mid=3", {"xldm"}), Lines{"21"});
  EXPECT_EQ(rows("select count(*) as n from ryxl where mid in (0,1,2)", {"n"}), Lines{"0"});
  EXPECT_EQ(rows("select count(*) as n from rykh where mid<4", {"n"}), Lines{"1"});
  EXPECT_EQ(rows("select count(*) as n from ryjc", {"n"}), Lines{"0"});
}

TEST_F(SqliteImport, OverwriteWithARejectedLayoutChangesNothing) {
  exec("insert into ryjbxx (bm, xm) values ('0102', '旧甲')");
  exec("insert into ryxl (mid, xldm) values (1, '21'), (0, '99')");
  ImportOutcome o = import(kRejected, ImportMode::Overwrite);
  EXPECT_EQ(o.end, RunEnd::LayoutRejected);
  EXPECT_EQ(rows("select * from ryjbxx", {"xm"}), Lines{"旧甲"});
  EXPECT_EQ(rows("select count(*) as n from ryxl", {"n"}), Lines{"2"});
  EXPECT_EQ(frontend.events, Lines{"import: XLS数据格式不配置!不能导入"});
}

TEST_F(SqliteImport, UnreadableWorkbookIsAFailureThatTouchesNothing) {
  exec("insert into ryjbxx (bm, xm) values ('0102', '旧甲')");
  ImportOutcome o = import(GZ_SOURCE_DIR "/CMakeLists.txt", ImportMode::Overwrite);
  EXPECT_EQ(o.end, RunEnd::WorkbookUnreadable);
  EXPECT_EQ(rows("select * from ryjbxx", {"xm"}), Lines{"旧甲"});
  ASSERT_EQ(frontend.only("box").size(), 1u);
  EXPECT_NE(frontend.only("box")[0].find("CMakeLists.txt"), std::string::npos);
}

TEST_F(SqliteImport, MissingHistoryTableDropsOnlyThoseStatements) {
  exec("drop table rykh");
  ImportOutcome o = import(kPeople);
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(o.personsStored, 2);
  EXPECT_EQ(o.historyRowsStored, 6);
  EXPECT_EQ(rows("select count(*) as n from ryrz", {"n"}), Lines{"3"});
}

TEST_F(SqliteImport, MissingPersonColumnFailsEveryRowAndStoresNothing) {
  // A ryjbxx without kjgl: every person that sets it is refused whole.
  exec("create table ryjbxx2 as select id, bm, xm, bh, sfzh, grsf, xb, mz, csny, gzsj, jkzk, jxqyf, kjtgnf, dzysxl from ryjbxx");
  exec("drop table ryjbxx");
  exec("alter table ryjbxx2 rename to ryjbxx");
  ImportOutcome o = import(kPeople);
  EXPECT_EQ(o.personsStored, 1);  // 王五 sets no kjgl
  EXPECT_EQ(o.rowsFailed, 2);
  EXPECT_EQ(rows("select count(*) as n from ryxl", {"n"}), Lines{"1"});
}

}  // namespace
}  // namespace gz::imp
