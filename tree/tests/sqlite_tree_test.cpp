// The tree and the personnel view on a real SQLite database.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "db/connection.h"
#include "db/open_database.h"
#include "db/payroll/person_columns.h"
#include "db/payroll/schema.h"
#include "text/gb18030.h"
#include "tree/institutions.h"
#include "tree/personnel.h"
#include "tree/tree_builder.h"

namespace gz::tree {
namespace {

class SqliteTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    db = db::createSqliteDatabase(QDir(dir.path()).filePath("gzgl.mdb").toStdString());
    db::createSchema(*db);
  }
  void addInstitution(int64_t id, const std::string& jgdm, const char* nameUtf8) {
    db->execute({"insert into dm_jg (id, upid, px, jgdm, jgmc, jgjb) values (?, 0, ?, ?, ?, null)",
                 {id, id, jgdm, text::utf8ToGb18030(nameUtf8)}});
  }
  void addPerson(const std::string& bm, const char* nameUtf8, db::Value birth) {
    db::PersonRecord r;
    r.set("bm", bm);
    r.set("xm", text::utf8ToGb18030(nameUtf8));
    r.set("bh", int64_t{7});
    r.set("csny", std::move(birth));
    r.set("jkzk", std::string("10"));
    db::insertPerson(*db, r);
  }
  QTemporaryDir dir;
  std::unique_ptr<db::Connection> db;
};

TEST_F(SqliteTreeTest, EmptyTableLeavesTheListAsItWas) {
  InstitutionList list;
  EXPECT_EQ(list.load(*db), InstitutionList::LoadResult::Unchanged);
  EXPECT_EQ(list.count(), 0u);
}

TEST_F(SqliteTreeTest, LoadsInCodeOrderAndBuildsTheTree) {
  // Inserted out of order: the query sorts shorter codes first, then by code.
  addInstitution(5, "010101", "一组");
  addInstitution(4, "0102", "预算科");
  addInstitution(3, "0101 ", "办公室");
  addInstitution(2, "02", "市教育局");
  addInstitution(1, "01", "市财政局");
  InstitutionList list;
  ASSERT_EQ(list.load(*db), InstitutionList::LoadResult::Replaced);
  ASSERT_EQ(list.count(), 5u);
  EXPECT_EQ(list.records()[0].jgdm, "01");
  EXPECT_EQ(list.records()[0].jgjb, "");  // null text
  EXPECT_EQ(list.records()[4].jgdm, "010101");

  const InstitutionTree tree = buildInstitutionTree(list.shared());
  std::vector<std::string> lines;
  tree.forEachInDisplayOrder([&](std::size_t n, int depth) {
    lines.push_back(std::string(2 * static_cast<std::size_t>(depth), ' ') +
                    text::gb18030ToUtf8(nodeText(tree.record(n))));
  });
  // "0101 " has a trailing blank, so it and 010101 find no parent.
  EXPECT_EQ(lines, (std::vector<std::string>{"市财政局_01", "  预算科_0102", "市教育局_02"}));
}

TEST_F(SqliteTreeTest, PeopleOfADepartmentAndItsSubDepartments) {
  addPerson("0101", "张三", db::Date{1970, 1, 2});
  addPerson("010101", "李四", db::Value{});
  addPerson("0102", "王五", db::Date{1980, 12, 31});
  const auto people = queryDepartmentPeople(*db, "0101");
  ASSERT_EQ(people.size(), 2u);
  EXPECT_EQ(text::gb18030ToUtf8(people[0][1]), "张三");
  EXPECT_EQ(people[0][0], "7");
  EXPECT_EQ(people[0][6], "1970-1-2");
  EXPECT_EQ(people[0][7], "10");
  EXPECT_EQ(people[1][6], "");
  EXPECT_EQ(headCountText(people.size()), "2\xC8\xCB");
  EXPECT_EQ(queryDepartmentPeople(*db, "03").size(), 0u);
  EXPECT_EQ(queryDepartmentPeople(*db, "01").size(), 3u);
}

TEST_F(SqliteTreeTest, AQuoteInTheCodeIsJustACharacter) {
  addPerson("01'x", "张三", db::Value{});
  EXPECT_EQ(queryDepartmentPeople(*db, "01'").size(), 1u);
}

}  // namespace
}  // namespace gz::tree
