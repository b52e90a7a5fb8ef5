#include "tree/institutions.h"

#include <gtest/gtest.h>

#include "tree/tests/fake_db.h"
#include "tree/tree_builder.h"

namespace gz::tree {
namespace {

using fake::FakeConnection;
using fake::institutionRow;
using fake::Row;

TEST(InstitutionListTest, ReadsEveryFieldAndNullsAsZeroOrEmpty) {
  FakeConnection db;
  db.setCount(2);
  db.results["institutions"] = {Row{{"id", int64_t{7}},
                                    {"upid", int64_t{3}},
                                    {"px", int64_t{9}},
                                    {"jgdm", std::string("0101 ")},
                                    {"jgmc", std::string("\xB2\xC6\xD5\xFE")},
                                    {"jgjb", std::string("2")}},
                                Row{{"id", db::Value{}},
                                    {"upid", db::Value{}},
                                    {"px", db::Value{}},
                                    {"jgdm", db::Value{}},
                                    {"jgmc", db::Value{}},
                                    {"jgjb", db::Value{}}}};
  InstitutionList list;
  EXPECT_EQ(list.load(db), InstitutionList::LoadResult::Replaced);
  ASSERT_EQ(list.count(), 2u);
  const JGData& a = list.records()[0];
  EXPECT_EQ(a.id, 7);
  EXPECT_EQ(a.upid, 3);
  EXPECT_EQ(a.px, 9);
  EXPECT_EQ(a.jgdm, "0101 ");
  EXPECT_EQ(a.levelLength, 5);  // the trailing blank counts
  EXPECT_EQ(a.jgmc, "\xB2\xC6\xD5\xFE");
  EXPECT_EQ(a.jgjb, "2");
  const JGData& b = list.records()[1];
  EXPECT_EQ(b.id, 0);
  EXPECT_EQ(b.upid, 0);
  EXPECT_EQ(b.px, 0);
  EXPECT_EQ(b.jgdm, "");
  EXPECT_EQ(b.levelLength, 0);
  EXPECT_EQ(b.jgmc, "");
  EXPECT_EQ(b.jgjb, "");
  ASSERT_EQ(db.queries.size(), 2u);
  EXPECT_EQ(db.queries[0].text, "count");
  EXPECT_EQ(db.queries[1].text, "institutions");
}

class LoadedList : public ::testing::Test {
 protected:
  void SetUp() override {
    db.setCount(2);
    db.results["institutions"] = {institutionRow(1, "01"), institutionRow(2, "02")};
    ASSERT_EQ(list.load(db), InstitutionList::LoadResult::Replaced);
  }
  FakeConnection db;
  InstitutionList list;
};

TEST_F(LoadedList, CountZeroKeepsTheOldRecordsWithoutReadingRows) {
  db.setCount(0);
  db.queries.clear();
  EXPECT_EQ(list.load(db), InstitutionList::LoadResult::Unchanged);
  EXPECT_EQ(list.count(), 2u);
  EXPECT_EQ(db.queries.size(), 1u);
}

TEST_F(LoadedList, ReadsNoMoreRowsThanCounted) {
  db.setCount(1);
  db.results["institutions"] = {institutionRow(5, "05"), institutionRow(6, "06")};
  EXPECT_EQ(list.load(db), InstitutionList::LoadResult::Replaced);
  ASSERT_EQ(list.count(), 1u);
  EXPECT_EQ(list.records()[0].id, 5);
}

TEST_F(LoadedList, CountShrinksToTheRowsRead) {
  db.setCount(10);
  db.results["institutions"] = {institutionRow(5, "05")};
  list.load(db);
  EXPECT_EQ(list.count(), 1u);
  db.results["institutions"] = {};
  EXPECT_EQ(list.load(db), InstitutionList::LoadResult::Replaced);
  EXPECT_EQ(list.count(), 0u);
}

TEST_F(LoadedList, AFailedLoadKeepsTheOldRecords) {
  db.setCount(2);
  Row broken = institutionRow(9, "09");
  broken.erase("jgjb");
  db.results["institutions"] = {institutionRow(8, "08"), broken};
  EXPECT_THROW(list.load(db), db::DbError);
  ASSERT_EQ(list.count(), 2u);
  EXPECT_EQ(list.records()[0].jgdm, "01");

  db.results.erase("institutions");  // the table itself is missing
  EXPECT_THROW(list.load(db), db::DbError);
  EXPECT_EQ(list.count(), 2u);

  db.results["count"] = {Row{{"n", int64_t{1}}}};  // no column cnt
  EXPECT_THROW(list.load(db), db::DbError);
  EXPECT_EQ(list.count(), 2u);
}

TEST_F(LoadedList, ATreeKeepsItsRecordsAfterTheListIsReloaded) {
  const InstitutionTree tree = buildInstitutionTree(list.shared());
  db.results["institutions"] = {institutionRow(3, "03"), institutionRow(4, "04")};
  list.load(db);
  ASSERT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree.record(0).jgdm, "01");
  EXPECT_EQ(tree.record(1).jgdm, "02");
  EXPECT_EQ(list.records()[0].jgdm, "03");
}

TEST(InstitutionTextTest, DepartmentCodeIsTrimmedNodeTextIsNot) {
  JGData r;
  r.jgdm = " 0101\t ";
  r.jgmc = "\xB2\xC6\xD5\xFE\xBE\xD6";  // 财政局
  EXPECT_EQ(departmentCode(r), "0101");
  EXPECT_EQ(nodeText(r), "\xB2\xC6\xD5\xFE\xBE\xD6_ 0101\t ");
  r.jgdm =
      "\xA1\xA1"
      "01";  // a full-width blank is not trimmed
  EXPECT_EQ(departmentCode(r),
            "\xA1\xA1"
            "01");
}

TEST(InstitutionTextTest, FindDepartmentMatchesTheTrimmedCodeExactly) {
  InstitutionRecords records(3);
  records[0].jgdm = "01";
  records[1].jgdm = "0101 ";
  records[2].jgdm = "0101";
  EXPECT_EQ(findDepartment(records, "0101"), &records[1]);
  EXPECT_EQ(findDepartment(records, "01"), &records[0]);
  EXPECT_EQ(findDepartment(records, "010"), nullptr);
  EXPECT_EQ(findDepartment(records, "0101 "), nullptr);
  EXPECT_EQ(findDepartment(records, ""), nullptr);
}

}  // namespace
}  // namespace gz::tree
