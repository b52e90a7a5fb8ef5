// Updating a department by identity number on real databases: SQLite
// always, PostgreSQL and ODBC when a test server is named.
#include <gtest/gtest.h>

#include <map>

#include "db/payroll/schema.h"
#include "db/tests/backends.h"
#include "import/run/import_run.h"
#include "import/shared/change_observer.h"
#include "import/shared/tests/fakes.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<Cell>>;

const char* const kKeptTables[] = {"ryrz", "rykh", "rybdrz", "ryjl", "ryjc", "rygzbhb"};

class ChangeLog final : public ChangeObserver {
 public:
  void personChanging(int64_t id) override { changing.push_back(id); }
  void personAdded(int64_t id) override { added.push_back(id); }
  std::vector<int64_t> changing, added;
};

template <typename Backend>
class UpdatePeople : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    db::createSchema(*conn);
    codes.set(G("大学"), "21");
    codes.set(G("优秀"), "1");
    // The department 0102 and one below it; 0103 is another department.
    ids["zhang"] = person("0102", "张三", "110101196503010011");
    ids["li"] = person("010201", "李四", "110101701231002");
    ids["shared1"] = person("0102", "甲", "220101198001010022");
    ids["shared2"] = person("0102", "乙", "220101198001010022");
    ids["none"] = person("0102", "孙八", "");
    ids["other"] = person("0102", "周九", "330101199001010033");
    ids["elsewhere"] = person("0103", "吴十", "440101199001010044");
    for (const auto& [key, id] : ids) {
      const std::string mid = std::to_string(id);
      exec("insert into ryxl (mid,xxxs,xlrq,xldm) values (" + mid + ",'在职','1980-07-01','41')");
      exec("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values (" + mid + ",'1985-08-01','31','31')");
      exec("insert into rykh (mid,khnd,khjg) values (" + mid + ",2006,2)");
      for (const char* t : {"rybdrz", "ryjl", "ryjc", "rygzbhb"})
        exec(std::string("insert into ") + t + " (mid) values (" + mid + ")");
    }
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  int64_t person(const char* bm, const char* xm, const char* sfzh) {
    db::PersonRecord r;
    r.set("bm", std::string(bm));
    r.set("xm", G(xm));
    if (*sfzh) r.set("sfzh", std::string(sfzh));
    r.set("jkzk", std::string("20"));
    r.set("jxqyf", int64_t{6});
    r.set("grsf", G("工人"));
    return db::insertPerson(*conn, r);
  }

  ImportOutcome update(const Rows& sheet) {
    ImportRequest r;
    r.departmentCode = "0102";
    r.workbookPath = GZ_SOURCE_DIR "/CMakeLists.txt";  // any existing file: the sheet comes from `sheet`
    r.updateExisting = true;
    r.changes = &changes;
    return AInputExecute(*conn, codes, columns, frontend, r,
                         [&sheet](const std::string&) { return fakeWorkbook(sheet); });
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
  // A per-person table whole, every column, in key order.
  Lines table(const std::string& name) {
    std::vector<const char*> cols{"id", "mid"};
    if (name == "ryrz") cols = {"id", "mid", "rzrq", "rzzwdm", "gzzwdm"};
    if (name == "rykh") cols = {"id", "mid", "khnd", "khjg"};
    return rows("select * from " + name + " order by id", cols);
  }
  void exec(const std::string& sql) { conn->execute({G(sql), {}}); }
  std::string id(const char* key) { return std::to_string(ids.at(key)); }

  Backend backend;
  std::unique_ptr<db::Connection> conn;
  codes::CodeMap codes;
  ColumnMap columns;
  RecordingFrontend frontend;
  ChangeLog changes;
  std::map<std::string, int64_t> ids;
};

TYPED_TEST_SUITE(UpdatePeople, db::testing::AllBackends, db::testing::BackendNames);

const std::vector<Cell> kTitles = {"姓名", "身份证号", "出生年月", "参加工作时间", "个人身份", "学历"};

std::vector<Cell> row(const char* name, const char* idCard) {
  return {name, idCard, Cell::date(23802), Cell::date(31260), "干部", "1990.07大学"};
}

// Matched people are updated in place, the others added or refused; the
// tables the sheet has no column for stay as they were, keys included.
TYPED_TEST(UpdatePeople, MatchedPeopleAreUpdatedInPlace) {
  std::map<std::string, Lines> before;
  for (const char* t : kKeptTables) before[t] = this->table(t);
  const ImportOutcome o =
      this->update({kTitles, row("张三", " 110101196503010011 "),  // blanks around the number
                    row("李四改", "110101701231002"),     // a person of the department below
                    row("王五", "220101198001010022"),    // two people share the number
                    row("赵六", ""), row("钱七", "440101199001010044")});  // only another department has it
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(o.personsStored, 3);
  EXPECT_EQ(o.personsUpdated, 2);
  EXPECT_EQ(o.rowsFailed, 2);
  EXPECT_EQ(o.peopleNotNamed, 2);  // 孙八 without a number and 周九; the two sharing one are named
  EXPECT_EQ(this->frontend.only("import").back(), "新增1人,更新2人,未导入2行");
  EXPECT_EQ(this->changes.changing, (std::vector<int64_t>{this->ids["zhang"], this->ids["li"]}));
  for (const char* t : kKeptTables) EXPECT_EQ(this->table(t), before[t]) << t;

  const std::string newest = this->rows("select max(id) as id from ryjbxx", {"id"}).at(0);
  const auto edu = [this](const char* key, const char* line) { return this->id(key) + "|" + line; };
  struct Check {
    const char* name;
    std::string sql;
    std::vector<const char*> cols;
    Lines expected;
  };
  const Check checks[] = {
      {"people keep their id, department and starting values",
       "select * from ryjbxx order by id",
       {"id", "bm", "xm", "sfzh", "grsf", "csny", "gzsj", "jkzk", "jxqyf"},
       {this->id("zhang") + "|0102|张三| 110101196503010011 |干部|1965-03-01|1985-08-01|20|6",
        this->id("li") + "|010201|李四改|110101701231002|干部|1965-03-01|1985-08-01|20|6",
        this->id("shared1") + "|0102|甲|220101198001010022|工人|||20|6",
        this->id("shared2") + "|0102|乙|220101198001010022|工人|||20|6", this->id("none") + "|0102|孙八||工人|||20|6",
        this->id("other") + "|0102|周九|330101199001010033|工人|||20|6",
        this->id("elsewhere") + "|0103|吴十|440101199001010044|工人|||20|6",
        newest + "|0102|钱七|440101199001010044|干部|1965-03-01|1985-08-01|10|12"}},
      {"education rows of the updated people are the sheet's",
       "select * from ryxl order by mid, xlrq",
       {"mid", "xlrq", "xldm"},
       {edu("zhang", "1990-07-01|21"), edu("li", "1990-07-01|21"), edu("shared1", "1980-07-01|41"),
        edu("shared2", "1980-07-01|41"), edu("none", "1980-07-01|41"), edu("other", "1980-07-01|41"),
        edu("elsewhere", "1980-07-01|41"), newest + "|1990-07-01|21"}},
  };
  for (const Check& c : checks) EXPECT_EQ(this->rows(c.sql, c.cols), c.expected) << c.name;
  Lines reasons;
  for (const RejectedRow& r : o.rejects.rows) reasons.push_back(std::to_string(r.row) + " " + U(r.reason));
  EXPECT_EQ(reasons, (Lines{"4 身份证号为本部门多人共有,无法确定更新哪一人", "5 没有身份证号,无法按身份证号更新"}));
}

// A cell that holds no identity number matches nobody, even where people of
// the department have the same words in theirs: the row is refused as one
// without a number and those people stay as they were.
TYPED_TEST(UpdatePeople, RowsWithoutANumberInItsFormAreRefused) {
  this->person("0102", "待定甲", G("无").c_str());
  this->person("0102", "待定乙", G("待补").c_str());
  this->person("0102", "待定丙", G("干部").c_str());
  const Lines people = this->rows("select * from ryjbxx order by id", {"id", "xm", "sfzh", "grsf", "csny"});
  const ImportOutcome o = this->update(
      {kTitles, row("某甲", "无"), row("某乙", " 待补"), row("某丙", "干部"), row("某丁", "11010119650301001")});
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(o.personsStored, 0);
  EXPECT_EQ(o.rowsFailed, 4);
  EXPECT_EQ(this->frontend.only("duplicates"), Lines{});
  EXPECT_EQ(this->rows("select * from ryjbxx order by id", {"id", "xm", "sfzh", "grsf", "csny"}), people);
  Lines reasons;
  for (const RejectedRow& r : o.rejects.rows) reasons.push_back(std::to_string(r.row) + " " + U(r.reason));
  EXPECT_EQ(reasons, (Lines{"2 没有身份证号,无法按身份证号更新", "3 没有身份证号,无法按身份证号更新",
                            "4 没有身份证号,无法按身份证号更新", "5 没有身份证号,无法按身份证号更新"}));
}

// An update writes only what differs from the person as stored: the same
// sheet again changes no row and tells the journal of no one; a changed line
// replaces only its own row, every other row keeping its id; a changed
// person column changes the person row alone.
TYPED_TEST(UpdatePeople, OnlyWhatDiffersIsWritten) {
  this->codes.set(G("科员"), "31");
  this->codes.set(G("合格"), "2");
  const std::vector<Cell> titles = {"姓名",
                                    "身份证号",
                                    "出生年月",
                                    "参加工作时间",
                                    "个人身份",
                                    "学历",
                                    "执行基本工资对应职务",
                                    "从2006年开始的考核情况"};
  const auto zhang = [](const char* status, const char* education) {
    return std::vector<Cell>{"张三",    "110101196503010011",       Cell::date(23802),   Cell::date(31260), status,
                             education, "1998.07科员\n2003.01科员", "2006优秀\n2007合格"};
  };
  const auto tables = [this] {
    std::map<std::string, Lines> t;
    t["ryjbxx"] = this->rows("select * from ryjbxx order by id", {"id", "xm", "grsf", "csny", "gzsj"});
    t["ryxl"] = this->rows("select * from ryxl order by id", {"id", "mid", "xxxs", "xlrq", "xldm"});
    t["ryrz"] = this->table("ryrz");
    t["rykh"] = this->table("rykh");
    return t;
  };
  this->update({titles, zhang("干部", "1990.07大学\n1995.07大学")});
  std::map<std::string, Lines> first = tables();
  this->changes.changing.clear();

  const ImportOutcome again = this->update({titles, zhang("干部", "1990.07大学\n1995.07大学")});
  EXPECT_EQ(again.personsUpdated, 1);
  EXPECT_EQ(again.historyRowsStored, 6);
  EXPECT_EQ(tables(), first) << "the same sheet again";
  EXPECT_TRUE(this->changes.changing.empty());

  this->update({titles, zhang("干部", "1990.07大学\n1996.07大学")});
  std::map<std::string, Lines> second = tables();
  EXPECT_EQ(this->changes.changing, std::vector<int64_t>{this->ids["zhang"]});
  const Lines& before = first["ryxl"];
  const Lines& after = second["ryxl"];
  ASSERT_EQ(after.size(), before.size());
  // The person's rows are the last: the 1990 row stays with its id, the 1995
  // row goes and a 1996 row comes under a new id.
  EXPECT_EQ(Lines(after.begin(), after.end() - 1), Lines(before.begin(), before.end() - 1));
  EXPECT_NE(after.back().substr(0, after.back().find('|')), before.back().substr(0, before.back().find('|')));
  EXPECT_NE(after.back().find("|1996-07-01|21"), std::string::npos) << after.back();
  for (const char* t : {"ryjbxx", "ryrz", "rykh"}) EXPECT_EQ(second[t], first[t]) << t;

  this->changes.changing.clear();
  this->update({titles, zhang("工人", "1990.07大学\n1996.07大学")});
  const std::map<std::string, Lines> third = tables();
  EXPECT_EQ(this->changes.changing, std::vector<int64_t>{this->ids["zhang"]});
  EXPECT_NE(third.at("ryjbxx"), second["ryjbxx"]);
  for (const char* t : {"ryxl", "ryrz", "rykh"}) EXPECT_EQ(third.at(t), second[t]) << t;
}

// A row whose history the database refuses to replace leaves its person as
// it was: the columns already written over and the rows already deleted come back.
TYPED_TEST(UpdatePeople, RefusedRowChangesNothingOfItsPerson) {
  this->exec("drop table rykh");
  const Lines people = this->rows("select * from ryjbxx order by id", {"id", "xm", "grsf", "csny"});
  const Lines education = this->rows("select * from ryxl order by id", {"id", "mid", "xlrq", "xldm"});
  std::vector<Cell> titles = kTitles;
  titles.emplace_back("从2006年开始的考核情况");
  std::vector<Cell> zhang = row("张三改", "110101196503010011");
  zhang.emplace_back("2007优秀");
  const ImportOutcome o = this->update({titles, zhang});
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(o.rowsFailed, 1);
  EXPECT_EQ(o.personsStored, 0);
  EXPECT_EQ(this->rows("select * from ryjbxx order by id", {"id", "xm", "grsf", "csny"}), people);
  EXPECT_EQ(this->rows("select * from ryxl order by id", {"id", "mid", "xlrq", "xldm"}), education);
}

}  // namespace
}  // namespace gz::imp
