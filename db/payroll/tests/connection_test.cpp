#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/open_database.h"
#include "db/payroll/demo_data.h"
#include "db/payroll/dialect.h"
#include "db/payroll/person_columns.h"
#include "db/payroll/schema.h"
#include "db/tests/backends.h"
#include "text/gb18030.h"

namespace gz::db {
namespace {

std::string gbk(const std::string& utf8) { return text::utf8ToGb18030(utf8); }

template <typename Backend>
class ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  void createTables() { createSchema(*conn); }

  int64_t count(const std::string& sql) {
    auto rs = conn->query({sql, {}});
    EXPECT_TRUE(rs->next()) << sql;
    return rs->integer("n");
  }

  int64_t addPerson(const std::string& bm, const std::string& xm) {
    PersonRecord r;
    r.set("bm", bm);
    r.set("jxqyf", int64_t(12));
    r.set("xm", xm);
    r.set("jkzk", std::string("10"));
    return insertPerson(*conn, r);
  }

  void addHistory(const char* table, int64_t mid) {
    conn->execute({std::string("insert into ") + table + " (mid) values (?)", {mid}});
  }

  Backend backend;
  std::unique_ptr<Connection> conn;
};

TYPED_TEST_SUITE(ConnectionTest, testing::AllBackends, testing::BackendNames);

TYPED_TEST(ConnectionTest, PersonRowKeepsEveryKindOfValue) {
  this->createTables();
  PersonRecord r;
  r.set("bm", std::string("0102"));
  r.set("jxqyf", int64_t(12));
  r.set("xm", gbk("张三"));
  r.set("jkzk", std::string("10"));
  r.set("bh", 1.0);  // a whole-number cell into a text column
  r.set("sfzh", std::string("11010519491231002X"));
  r.set("grsf", 2.5);
  r.set("kjgl", int64_t(-6));
  r.set("mz", gbk("01"));
  r.set("csny", Date{1965, 3, 1});
  r.set("gzsj", Date{1993, 8, 1});
  r.set("xb", std::monostate{});
  r.set("dzysxl", int64_t(42));
  r.set("mz", std::string("02"));  // a later set replaces the value
  const int64_t first = insertPerson(*this->conn, r);
  const int64_t second = this->addPerson("0102", gbk("李四"));
  EXPECT_GT(first, 0);
  EXPECT_GT(second, first);

  auto rs = this->conn->query({"select * from ryjbxx where id=?", {first}});
  ASSERT_TRUE(rs->next());
  EXPECT_EQ(rs->text("xm"), gbk("张三"));
  EXPECT_EQ(rs->text("bh"), "1");
  EXPECT_EQ(rs->text("sfzh"), "11010519491231002X");
  EXPECT_EQ(rs->integer("kjgl"), -6);
  EXPECT_EQ(rs->text("mz"), "02");
  EXPECT_EQ(rs->text("csny"), "1965-03-01");
  EXPECT_EQ(rs->text("gzsj"), "1993-08-01");
  EXPECT_EQ(rs->text("grsf"), "2.5");
  EXPECT_EQ(rs->text("xb"), "");
  EXPECT_EQ(rs->integer("xb"), 0);
  EXPECT_EQ(rs->integer("jxqyf"), 12);
  EXPECT_EQ(rs->integer("dzysxl"), 42);
  EXPECT_THROW(rs->text("nosuchcolumn"), DbError);
  EXPECT_FALSE(rs->next());
}

TYPED_TEST(ConnectionTest, TextsWithQuotesAndChineseArriveWhole) {
  this->createTables();
  const std::string name = gbk("O'Brien 欧阳'");
  const int64_t id = this->addPerson("01'02", name);
  const auto& d = dialectOf(*this->conn);
  ASSERT_TRUE(this->conn->tryExecute(*d.insertPosition(id, "1998-07-1", "3'1")));
  auto people = this->conn->query(d.selectDepartmentPeople("01'02"));
  ASSERT_TRUE(people->next());
  EXPECT_EQ(people->text("xm"), name);
  EXPECT_EQ(people->integer("id"), id);
  auto pos = this->conn->query({"select rzzwdm, gzzwdm, rzrq from ryrz where mid=?", {id}});
  ASSERT_TRUE(pos->next());
  EXPECT_EQ(pos->text("rzzwdm"), "3'1");
  EXPECT_EQ(pos->text("gzzwdm"), "3'1");
  EXPECT_EQ(pos->text("rzrq"), "1998-07-01");
}

TYPED_TEST(ConnectionTest, HistoryStatementsStoreAndUpdateByDate) {
  this->createTables();
  const auto& d = dialectOf(*this->conn);
  const int64_t id = this->addPerson("0101", gbk("王五"));
  ASSERT_TRUE(this->conn->tryExecute(*d.insertEducation(id, true, "1990-07-1", "41")));
  ASSERT_TRUE(this->conn->tryExecute(*d.insertEducation(id, true, "1993-07-1", "21")));
  ASSERT_TRUE(this->conn->tryExecute(*d.insertEducation(id, false, "2001-1-1", "11")));
  ASSERT_TRUE(this->conn->tryExecute(*d.updateEducationYears(3, id, "1993-07-1")));
  ASSERT_TRUE(this->conn->tryExecute(*d.insertAssessment(id, 2006, "1")));
  ASSERT_TRUE(this->conn->tryExecute(*d.insertAssessment(id, 2007, "2")));

  auto rs = this->conn->query({"select xxxs, xlrq, xldm, dzysxl from ryxl where mid=? order by xlrq", {id}});
  std::vector<std::string> rows;
  while (rs->next())
    rows.push_back(rs->text("xxxs") + "|" + rs->text("xlrq") + "|" + rs->text("xldm") + "|" +
                   std::to_string(rs->integer("dzysxl")));
  EXPECT_EQ(rows, (std::vector<std::string>{gbk("全日制|1990-07-01|41|0"), gbk("全日制|1993-07-01|21|3"),
                                            gbk("在职|2001-01-01|11|0")}));
  EXPECT_EQ(this->count("select count(*) as n from rykh where mid=" + std::to_string(id) + " and khjg=2"), 1);
}

// Overwrite clears the department and everything below it with all their
// history rows, plus every row that already belonged to nobody.
TYPED_TEST(ConnectionTest, DepartmentDeletionTakesSubDepartmentsAndDetachedRows) {
  this->createTables();
  const int64_t top = this->addPerson("01", "a");
  const int64_t sub = this->addPerson("0102", "b");
  const int64_t other = this->addPerson("02", "c");
  for (const char* t : {"ryrz", "rybdrz", "rykh", "ryxl", "ryjl", "ryjc", "rygzbhb"}) {
    this->addHistory(t, top);
    this->addHistory(t, sub);
    this->addHistory(t, other);
    this->addHistory(t, 0);
  }
  {
    Transaction t(*this->conn);
    for (const Statement& s : dialectOf(*this->conn).deleteDepartmentPeople("01")) this->conn->execute(s);
    t.commit();
  }
  EXPECT_EQ(this->count("select count(*) as n from ryjbxx"), 1);
  EXPECT_EQ(this->count("select count(*) as n from ryjbxx where id=" + std::to_string(other)), 1);
  for (const char* t : {"ryrz", "rybdrz", "rykh", "ryxl", "ryjl", "ryjc", "rygzbhb"}) {
    SCOPED_TRACE(t);
    EXPECT_EQ(this->count(std::string("select count(*) as n from ") + t), 1);
    EXPECT_EQ(this->count(std::string("select count(*) as n from ") + t + " where mid=" + std::to_string(other)), 1);
  }
}

// A refused statement inside a transaction is reported as false and the rest
// of the transaction still commits; a rolled-back transaction leaves nothing.
// Statements run together keep the order and the outcome of each as if sent
// one by one: a refused one is dropped alone, the others are stored.
TYPED_TEST(ConnectionTest, StatementsRunTogetherDropOnlyTheRefusedOnes) {
  this->conn->execute(
      {std::string("create table t (") + TypeParam::kAutoId + ", mid integer, v integer check (v > 0), w varchar(10))",
       {}});
  const std::string shape = "insert into t (mid,v,w) values (?,?,?)";
  auto row = [&](int64_t mid, int64_t v) { return Statement{shape, {mid, v, std::string("x'") + gbk("中")}}; };
  struct Row {
    const char* name;
    std::vector<Statement> statements;
    std::vector<bool> stored;
  } rows[] = {
      {"all accepted", {row(1, 1), row(1, 2), row(1, 3)}, {true, true, true}},
      {"one refused among its shape", {row(2, 1), row(2, -1), row(2, 3)}, {true, false, true}},
      {"shapes mixed",
       {row(3, 1),
        {"insert into t (mid,w) values (?,?)", {int64_t(3), std::string("y")}},
        row(3, 3),
        {"insert into nosuchtable (mid) values (?)", {int64_t(3)}},
        row(3, -5)},
       {true, true, true, false, false}},
      {"a single statement", {row(4, -1)}, {false}},
      {"none", {}, {}},
      {"more lines than one insert takes", {}, {}},
  };
  // 40 lines, the 36th refused: more than one multi-row insert holds.
  for (int i = 1; i <= 40; ++i) {
    rows[5].statements.push_back(row(5, i == 36 ? -1 : i));
    rows[5].stored.push_back(i != 36);
  }
  Transaction t(*this->conn);
  for (const Row& r : rows) {
    const int64_t mid = r.statements.empty() ? 0 : std::get<int64_t>(r.statements[0].binds[0]);
    EXPECT_EQ(this->conn->tryExecuteEach(r.statements), r.stored) << r.name;
    // The stored rows, in order, as "v|w".
    std::vector<std::string> expected, got;
    for (std::size_t i = 0; i < r.statements.size(); ++i) {
      if (!r.stored[i]) continue;
      const std::vector<Value>& b = r.statements[i].binds;
      expected.push_back(b.size() == 3 ? std::to_string(std::get<int64_t>(b[1])) + "|" + std::get<std::string>(b[2])
                                       : "|" + std::get<std::string>(b[1]));
    }
    auto rs = this->conn->query({"select v, w from t where mid=? order by id", {mid}});
    while (rs->next()) got.push_back(rs->text("v") + "|" + rs->text("w"));
    EXPECT_EQ(got, expected) << r.name;
  }
  t.commit();
}

TYPED_TEST(ConnectionTest, RefusedStatementLeavesTheTransactionUsable) {
  this->createTables();
  {
    Transaction t(*this->conn);
    const int64_t id = this->addPerson("01", "a");
    EXPECT_FALSE(this->conn->tryExecute({"insert into nosuchtable (mid) values (?)", {id}}));
    EXPECT_FALSE(this->conn->tryExecute({"insert into ryxl (mid, nosuchcolumn) values (?, 1)", {id}}));
    EXPECT_TRUE(this->conn->tryExecute(*dialectOf(*this->conn).insertPosition(id, "1998-07-1", "31")));
    t.commit();
  }
  EXPECT_EQ(this->count("select count(*) as n from ryrz"), 1);
  {
    Transaction t(*this->conn);
    this->addPerson("01", "b");
    this->addHistory("ryrz", 1);
  }  // not committed
  EXPECT_EQ(this->count("select count(*) as n from ryjbxx"), 1);
  EXPECT_EQ(this->count("select count(*) as n from ryrz"), 1);
  EXPECT_THROW(this->conn->execute({"update nosuchtable set mid=0", {}}), DbError);
  try {
    this->conn->execute({"insert into ryrz (mid, rzzwdm) values (?, ?)", {int64_t(1), std::string("x")}});
    this->conn->execute({"insert into nosuchtable (mid) values (?)", {int64_t(7)}});
    FAIL() << "no error";
  } catch (const DbError& e) {
    EXPECT_EQ(e.statement(), "insert into nosuchtable (mid) values (7)");
    EXPECT_NE(std::string(e.what()).find(this->conn->describe()), std::string::npos);
  }
}

TYPED_TEST(ConnectionTest, InstitutionsComeShortCodesFirstThenByCode) {
  this->createTables();
  for (const char* code : {"0102", "02", "010101", "01", "0101", "0201"})
    this->conn->execute(
        {"insert into dm_jg (upid,px,jgdm,jgmc,jgjb) values (0,0,?,?,'')", {std::string(code), gbk("机构")}});
  auto n = this->conn->query(dialectOf(*this->conn).countInstitutions());
  ASSERT_TRUE(n->next());
  EXPECT_EQ(n->integer("cnt"), 6);
  auto rs = this->conn->query(dialectOf(*this->conn).selectInstitutions());
  std::vector<std::string> codes;
  while (rs->next()) codes.push_back(rs->text("jgdm"));
  EXPECT_EQ(codes, (std::vector<std::string>{"01", "02", "0101", "0102", "0201", "010101"}));
}

// The import must work on any database with the needed tables and columns,
// whatever their order, types and extra columns.
TYPED_TEST(ConnectionTest, WorksOnAHandMadeSchema) {
  const std::string id = TypeParam::kAutoId;
  for (const std::string& ddl :
       {"create table dm_jg (jgmc varchar(50), jgdm varchar(20), note varchar(10) default 'x', " + id +
            ", jgjb varchar(5), px integer, upid integer)",
        "create table ryjbxx (xm varchar(30), created integer default 5, bm varchar(20), bh integer, "
        "sfzh text, " +
            id +
            ", grsf varchar(20), dzysxl integer, kjtgnf integer, kjgl integer, "
            "jxqyf integer, jkzk varchar(4), gzsj date, csny varchar(10), mz varchar(4), xb varchar(4))",
        std::string("create table ryxl (xldm varchar(8), dzysxl integer, xlrq date, xxxs varchar(10), "
                    "mid integer, memo varchar(10) default 'm')"),
        std::string("create table ryrz (gzzwdm varchar(8), rzzwdm varchar(8), rzrq varchar(10), mid integer)"),
        std::string("create table rykh (khjg integer, khnd integer, mid integer)"),
        std::string("create table rybdrz (mid integer, x integer)"), std::string("create table ryjl (mid integer)"),
        std::string("create table ryjc (mid integer)"), std::string("create table rygzbhb (mid integer)")})
    this->conn->execute({ddl, {}});
  EXPECT_TRUE(missingSchemaItems(*this->conn).empty());

  PersonRecord r;
  r.set("bm", std::string("01"));
  r.set("jxqyf", int64_t(12));
  r.set("xm", gbk("赵六"));
  r.set("jkzk", std::string("10"));
  r.set("bh", int64_t(7));
  r.set("sfzh", int64_t(123456));
  r.set("csny", Date{1970, 1, 2});
  r.set("gzsj", Date{1990, 2, 3});
  const int64_t person = insertPerson(*this->conn, r);
  const auto& d = dialectOf(*this->conn);
  EXPECT_TRUE(this->conn->tryExecute(*d.insertEducation(person, true, "1990-07-1", "21")));
  EXPECT_TRUE(this->conn->tryExecute(*d.updateEducationYears(2, person, "1990-07-1")));
  EXPECT_TRUE(this->conn->tryExecute(*d.insertPosition(person, "1998-07-1", "31")));
  EXPECT_TRUE(this->conn->tryExecute(*d.insertAssessment(person, 2006, "1")));

  auto rs = this->conn->query({"select * from ryjbxx", {}});
  ASSERT_TRUE(rs->next());
  EXPECT_EQ(rs->integer("id"), person);
  EXPECT_EQ(rs->integer("bh"), 7);
  EXPECT_EQ(rs->text("sfzh"), "123456");
  EXPECT_EQ(rs->text("csny"), "1970-01-02");
  EXPECT_EQ(rs->integer("created"), 5);
  EXPECT_EQ(this->count("select count(*) as n from ryxl where dzysxl=2 and memo='m'"), 1);
  EXPECT_EQ(this->count("select count(*) as n from ryrz where rzrq='1998-07-01'"), 1);
  EXPECT_EQ(this->count("select count(*) as n from rykh where khjg=1"), 1);
}

TYPED_TEST(ConnectionTest, SchemaCheckNamesWhatIsMissing) {
  EXPECT_EQ(missingSchemaItems(*this->conn).size(), requiredSchema().size());
  try {
    requireSchema(*this->conn);
    FAIL() << "no error for an empty database";
  } catch (const DbError& e) {
    EXPECT_NE(std::string(e.what()).find("ryjbxx"), std::string::npos);
  }
  this->createTables();
  EXPECT_TRUE(missingSchemaItems(*this->conn).empty());
  EXPECT_NO_THROW(requireSchema(*this->conn));
  this->conn->execute({"drop table rygzbhb", {}});
  this->conn->execute({"drop table ryxl", {}});
  this->conn->execute({"create table ryxl (mid integer, xxxs varchar(10), xldm varchar(10))", {}});
  EXPECT_EQ(missingSchemaItems(*this->conn), (std::vector<std::string>{"ryxl.xlrq", "ryxl.dzysxl", "表 rygzbhb"}));
  // Browsing needs only what it reads: the tree and the people's grid columns.
  EXPECT_TRUE(missingSchemaItems(*this->conn, SchemaUse::Tree).empty());
  EXPECT_TRUE(missingSchemaItems(*this->conn, SchemaUse::PersonnelView).empty());
  this->conn->execute({"drop table ryjbxx", {}});
  EXPECT_EQ(missingSchemaItems(*this->conn, SchemaUse::PersonnelView), std::vector<std::string>{"表 ryjbxx"});
  EXPECT_TRUE(missingSchemaItems(*this->conn, SchemaUse::Tree).empty());
}

}  // namespace
}  // namespace gz::db

namespace gz::db {
namespace {

// The demo database is what people try the program on: its tree must hang
// together and an overwrite must clear a department completely.
TYPED_TEST(ConnectionTest, DemoDataFormsATreeAndClearsByDepartment) {
  this->createTables();
  addDemoData(*this->conn);
  EXPECT_EQ(this->count("select count(*) as n from dm_jg where length(jgdm) > 2 and upid not in "
                        "(select id from dm_jg)"),
            0);
  EXPECT_EQ(this->count("select count(*) as n from dm_jg d where length(jgdm) > 2 and not exists "
                        "(select 1 from dm_jg p where p.jgdm = substr(d.jgdm, 1, length(d.jgdm) - 2))"),
            0);
  const int64_t people = this->count("select count(*) as n from ryjbxx");
  const int64_t finance = this->count("select count(*) as n from ryjbxx where bm like '01%'");
  EXPECT_GT(finance, 0);
  EXPECT_GT(this->count("select count(*) as n from ryxl where dzysxl > 0"), 0);
  EXPECT_GT(this->count("select count(*) as n from ryrz where mid = 0"), 0);

  for (const Statement& s : dialectOf(*this->conn).deleteDepartmentPeople("01")) this->conn->execute(s);
  EXPECT_EQ(this->count("select count(*) as n from ryjbxx"), people - finance);
  for (const char* t : {"ryrz", "rykh", "ryxl"}) {
    SCOPED_TRACE(t);
    EXPECT_EQ(this->count(std::string("select count(*) as n from ") + t + " where mid not in (select id from ryjbxx)"),
              0);
    EXPECT_GT(this->count(std::string("select count(*) as n from ") + t), 0);
  }
}

TYPED_TEST(ConnectionTest, SchemaCheckTellsMissingTablesFromMissingColumns) {
  Connection& c = *this->conn;
  EXPECT_EQ(testing::faultOf([&] { requireSchema(c); }), DbFault::MissingTable);
  createSchema(c);
  EXPECT_EQ(testing::faultOf([&] { requireSchema(c); }), std::nullopt);
  c.execute({"drop table rykh", {}});
  c.execute({"create table rykh (mid integer, khnd integer)", {}});
  EXPECT_EQ(testing::faultOf([&] { requireSchema(c); }), DbFault::MissingColumn);
}

// A file is recognised as SQLite by its contents, whatever its name.
TEST(OpenPayrollDatabase, RecognisesAnSqliteFileWhateverItsName) {
  QTemporaryDir dir;
  const std::string p = QDir(dir.path()).filePath("gzgl.mdb").toStdString();
  createSchema(*createSqliteDatabase(p));
  auto c = openDatabase(p);
  EXPECT_EQ(c->dialectKind(), DialectKind::Sqlite);
  EXPECT_NE(c->describe().find("gzgl.mdb"), std::string::npos);
  EXPECT_TRUE(missingSchemaItems(*c).empty());
}

}  // namespace
}  // namespace gz::db
