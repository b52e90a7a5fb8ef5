// A department exported and imported back, on real databases: SQLite always,
// PostgreSQL and ODBC when a test server is named (see db/tests/backends.h).
// Updating the same department from its export changes no row of any table;
// appending it into an empty department gives the same people and history.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>

#include "codes/dm_file.h"
#include "db/payroll/schema.h"
#include "db/tests/backends.h"
#include "export/export_department.h"
#include "import/run/import_run.h"
#include "import/shared/tests/fakes.h"
#include "sheet/open_workbook.h"

namespace gz::exp {
namespace {

using imp::testing::G;
using imp::testing::U;
using Lines = std::vector<std::string>;

// Codes shared between columns, as in a real code file: 1 is 男 and 优秀.
const char* const kDmFile =
    "男=1\n女=2\n汉族=01\n回族=02\n中专=41\n大学=21\n研究生=11\n科员=31\n科长=32\n副科长=33\n"
    "优秀=1\n合格=2\n基本合格=3\n";

const char* const kHistoryTables[] = {"ryxl", "ryrz", "rykh"};

template <typename Backend>
class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    db::createSchema(*conn);
    dmPath = dir.filePath("dm.txt").toStdString();
    std::ofstream(dmPath, std::ios::binary) << G(kDmFile);
    workbook = dir.filePath("out.xlsx").toStdString();
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  int64_t person(const char* bm, const char* values) {
    exec(
        std::string("insert into ryjbxx (bm,xm,bh,sfzh,grsf,xb,mz,csny,gzsj,jkzk,jxqyf,kjgl,kjtgnf,dzysxl) values ('") +
        bm + "'," + values + ")");
    auto rs = conn->query({"select max(id) as id from ryjbxx", {}});
    rs->next();
    return rs->integer("id");
  }
  // Every column form and every history form the import reads.
  void generateDepartment(const char* bm) {
    const std::string a = std::to_string(
        person(bm, "'张三','1','110101196503010011','干部','1','01','1965-03-01','1985-08-01','10',12,-6,2,42"));
    exec("insert into ryxl (mid,xxxs,xlrq,xldm) values (" + a + ",'全日制','1980-07-01','41')");
    exec("insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values (" + a + ",'全日制','1985-07-01','21',3)");
    exec("insert into ryxl (mid,xxxs,xlrq,xldm) values (" + a + ",'在职','1992-07-01','11')");
    exec("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values (" + a + ",'1985-08-01','31','31')");
    exec("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values (" + a + ",'1995-01-01','33','33')");
    exec("insert into rykh (mid,khnd,khjg) values (" + a + ",2006,1)");
    exec("insert into rykh (mid,khnd,khjg) values (" + a + ",2007,3)");
    // Months of college without whole years, a 15-digit number, in-service study only.
    const std::string b = std::to_string(
        person(bm, "'王五','2','110101701231002','工人','2','02','1970-12-31','1992-09-01','10',12,null,null,11"));
    exec("insert into ryxl (mid,xxxs,xlrq,xldm) values (" + b + ",'在职','1995-01-01','21')");
    exec("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values (" + b + ",'2100-12-01','32','32')");
    exec("insert into rykh (mid,khnd,khjg) values (" + b + ",1900,2)");
    exec("insert into rykh (mid,khnd,khjg) values (" + b + ",2100,1)");
    // Negative college months, years and months that need their leading zero, no history.
    person(bm, "'李四',null,null,'干部','1','01','1960-01-15','1978-02-28','10',12,24,1,-17");
    person(bm, "'赵六','7','220101198001010022','聘用','2','02','1980-01-01','2001-07-01','10',12,null,null,130");
  }

  ExportSummary exportTo(const char* dept, bool withBelow = false) {
    LoadedCodeTexts loaded = loadCodeTexts(dmPath);
    return exportDepartment(*conn, loaded.texts, {dept, withBelow, workbook});
  }

  imp::ImportOutcome importFrom(const char* dept, bool update) {
    codes::CodeMap codes;
    codes::loadDmFile(codes, dmPath);
    imp::ColumnMap columns;
    imp::ImportRequest r;
    r.departmentCode = dept;
    r.workbookPath = workbook;
    r.updateExisting = update;
    r.checkDuplicates = false;
    return imp::AInputExecute(*conn, codes, columns, frontend, r);
  }

  // A table whole, every column, in key order, each row as "name=value|...".
  Lines table(const std::string& name) {
    Lines out;
    auto rs = conn->query({"select * from " + name + " order by id", {}});
    const std::vector<std::string> cols = rs->columnNames();
    while (rs->next()) {
      std::string line;
      for (const std::string& c : cols) line += c + "=" + U(rs->text(c.c_str())) + "|";
      out.push_back(line);
    }
    return out;
  }
  // The people of a department and their history, without ids and bm, in id order.
  Lines department(const char* bm) {
    Lines out;
    auto people = conn->query({std::string("select * from ryjbxx where bm='") + bm + "' order by id", {}});
    while (people->next()) {
      const std::string id = people->text("id");
      std::string line;
      for (const char* c :
           {"xm", "bh", "sfzh", "grsf", "xb", "mz", "csny", "gzsj", "jkzk", "jxqyf", "kjgl", "kjtgnf", "dzysxl"})
        line += U(people->text(c)) + "|";
      out.push_back(line);
      const auto history = [&](const std::string& sql, std::vector<const char*> cols) {
        auto rs = conn->query({sql + id, {}});
        while (rs->next()) {
          std::string h = "  ";
          for (const char* c : cols) h += U(rs->text(c)) + "|";
          out.push_back(h);
        }
      };
      history("select * from ryxl where mid=", {"xxxs", "xlrq", "xldm", "dzysxl"});
      history("select * from ryrz where mid=", {"rzrq", "rzzwdm", "gzzwdm"});
      history("select * from rykh where mid=", {"khnd", "khjg"});
    }
    return out;
  }
  void exec(const std::string& sql) { conn->execute({G(sql), {}}); }

  Backend backend;
  std::unique_ptr<db::Connection> conn;
  QTemporaryDir dir;
  std::string dmPath, workbook;
  imp::testing::RecordingFrontend frontend;
};

TYPED_TEST_SUITE(RoundTrip, db::testing::AllBackends, db::testing::BackendNames);

TYPED_TEST(RoundTrip, UpdateFromTheExportChangesNoRow) {
  this->generateDepartment("0102");
  this->generateDepartment("0103");  // another department, left alone
  const ExportSummary s = this->exportTo("0102");
  EXPECT_EQ(s.people, 4);
  EXPECT_EQ(s.historyRows, 11);
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    EXPECT_EQ(s.columns[c].notComingBack, 0) << U(columnTitle(static_cast<Column>(c)));
    EXPECT_EQ(s.columns[c].codesWithoutText, 0) << U(columnTitle(static_cast<Column>(c)));
  }
  std::map<std::string, Lines> before;
  for (const char* t : {"ryjbxx", "ryxl", "ryrz", "rykh"}) before[t] = this->table(t);

  const imp::ImportOutcome o = this->importFrom("0102", true);
  EXPECT_EQ(o.end, imp::RunEnd::Completed);
  EXPECT_EQ(o.rowsFailed, 1);  // 李四 has no identity number to be found by
  EXPECT_EQ(o.linesReported, 0);
  EXPECT_EQ(o.personsUpdated, 3);
  for (const auto& [t, rows] : before) EXPECT_EQ(this->table(t), rows) << t;
}

TYPED_TEST(RoundTrip, AppendIntoAnEmptyDepartmentGivesTheSamePeople) {
  this->generateDepartment("0102");
  this->exportTo("0102");
  const imp::ImportOutcome o = this->importFrom("0199", false);
  EXPECT_EQ(o.end, imp::RunEnd::Completed);
  EXPECT_EQ(o.personsStored, 4);
  EXPECT_EQ(o.linesReported, 0);
  const Lines stored = this->department("0102");
  EXPECT_EQ(stored.size(), 15u);
  EXPECT_EQ(this->department("0199"), stored);
}

// The workbook as a clerk sees it: the import's titles, dates as date cells,
// identity numbers as texts, history lines in date order one per line, codes
// as their first text; the departments below only with --with-subdepartments.
TYPED_TEST(RoundTrip, WorkbookCells) {
  this->generateDepartment("0102");
  this->generateDepartment("010201");
  const ExportSummary own = this->exportTo("0102");
  EXPECT_EQ(own.people, 4);
  const ExportSummary below = this->exportTo("0102", true);
  EXPECT_EQ(below.people, 8);
  const auto book = sheet::openWorkbook(this->workbook);
  const auto cell = [&](uint32_t row, uint32_t col) { return book->value(row, col); };
  Lines titles;
  for (uint32_t c = 1; c <= kColumnCount; ++c) titles.push_back(U(cell(1, c).text));
  EXPECT_EQ(titles,
            (Lines{"序号", "姓名", "性别", "民族", "身份证号", "出生年月", "参加工作时间", "个人身份", "工龄调整(月)",
                   "扣减从1993年到2006年除见习期外年度考订不计考核等不合格年限", "不计算工龄的大专以上学龄（年）",
                   "学历", "执行基本工资对应职务", "从2006年开始的考核情况", "部门"}));
  EXPECT_EQ(U(cell(2, 2).text), "张三");
  EXPECT_EQ(U(cell(2, 3).text), "男");
  EXPECT_EQ(U(cell(2, 4).text), "汉族");
  EXPECT_EQ(cell(2, 5).kind, sheet::CellKind::Text);
  EXPECT_EQ(cell(2, 5).text, "110101196503010011");
  EXPECT_TRUE(cell(2, 6).isDate);
  EXPECT_EQ(cell(2, 9).number, 6);
  EXPECT_EQ(cell(2, 11).text, "3.06");
  EXPECT_EQ(U(cell(2, 12).text), "1980.07中专\n1985.07大学\n1992.07研究生");
  EXPECT_EQ(U(cell(2, 13).text), "1985.08科员\n1995.01副科长");
  EXPECT_EQ(U(cell(2, 14).text), "2006男\n2007基本合格");
  EXPECT_EQ(cell(4, 11).text, "-1.05");
  EXPECT_EQ(cell(5, 11).text, "10.10");
  EXPECT_EQ(cell(2, 15).text, "0102");
  EXPECT_EQ(cell(6, 15).text, "010201");
}

}  // namespace
}  // namespace gz::exp
