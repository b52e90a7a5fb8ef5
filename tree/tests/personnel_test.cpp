#include "tree/personnel.h"

#include <gtest/gtest.h>

#include "tree/tests/fake_db.h"

namespace gz::tree {
namespace {

using fake::FakeConnection;
using fake::Row;

TEST(PersonnelTest, ValuesAsTheGridShowsThem) {
  EXPECT_EQ(displayText(db::Value{}), "");
  EXPECT_EQ(displayText(db::Value{int64_t{-12}}), "-12");
  EXPECT_EQ(displayText(db::Value{3.06}), "3.06");
  EXPECT_EQ(displayText(db::Value{1.0}), "1");
  EXPECT_EQ(displayText(db::Value{std::string("\xC4\xD0")}), "\xC4\xD0");
  EXPECT_EQ(displayText(db::Value{db::Date{1980, 5, 1}}), "1980-5-1");
  EXPECT_EQ(displayText(db::Value{db::Date{2006, 12, 31}}), "2006-12-31");
}

TEST(PersonnelTest, HeadCount) {
  EXPECT_EQ(headCountText(25), "25\xC8\xCB");
  EXPECT_EQ(headCountText(0), "0\xC8\xCB");
}

TEST(PersonnelTest, ReadsTheGridColumnsOfTheDepartment) {
  FakeConnection db;
  db.results["people"] = {Row{{"bh", int64_t{1}},
                              {"xm", std::string("\xD5\xC5\xC8\xFD")},
                              {"sfzh", std::string("110")},
                              {"grsf", db::Value{}},
                              {"xb", std::string("1")},
                              {"mz", std::string("01")},
                              {"csny", db::Date{1970, 1, 2}},
                              {"jkzk", std::string("10")},
                              {"gzsj", db::Date{1990, 7, 1}},
                              {"bm", std::string("0101")}},
                          Row{{"bh", 2.5},
                              {"xm", std::string("b")},
                              {"sfzh", db::Value{}},
                              {"grsf", db::Value{}},
                              {"xb", db::Value{}},
                              {"mz", db::Value{}},
                              {"csny", db::Value{}},
                              {"jkzk", db::Value{}},
                              {"gzsj", db::Value{}}}};
  const auto people = queryDepartmentPeople(db, "0101");
  ASSERT_EQ(db.queries.size(), 1u);
  EXPECT_EQ(db.queries[0].binds, (std::vector<db::Value>{std::string("0101")}));
  ASSERT_EQ(people.size(), 2u);
  EXPECT_EQ(people[0], (PersonnelRow{"1", "\xD5\xC5\xC8\xFD", "110", "", "1", "01", "1970-1-2", "10", "1990-7-1"}));
  EXPECT_EQ(people[1], (PersonnelRow{"2.5", "b", "", "", "", "", "", "", ""}));
}

TEST(PersonnelTest, IsoDateTexts) {
  EXPECT_EQ(isoDate("1970-01-02"), (db::Date{1970, 1, 2}));
  EXPECT_EQ(isoDate("1970-01-02 00:00:00"), (db::Date{1970, 1, 2}));
  EXPECT_EQ(isoDate("1970-01-02T08:00"), (db::Date{1970, 1, 2}));
  for (const char* notADate :
       {"", "1970-1-2", "1970-13-01", "1970-00-10", "1970-01-32", "19x0-01-02", "1970/01/02", "1970-01-02x", "01"}) {
    EXPECT_EQ(isoDate(notADate), std::nullopt) << notADate;
  }
}

TEST(PersonnelTest, DateTextsOfTheDateColumnsAreShownAsDates) {
  FakeConnection db;
  db.results["people"] = {Row{{"bh", std::string("1970-01-02")},
                              {"xm", std::string("x")},
                              {"sfzh", db::Value{}},
                              {"grsf", db::Value{}},
                              {"xb", db::Value{}},
                              {"mz", db::Value{}},
                              {"csny", std::string("1970-01-02")},
                              {"jkzk", db::Value{}},
                              {"gzsj", std::string("1990-07")}}};
  const auto people = queryDepartmentPeople(db, "01");
  ASSERT_EQ(people.size(), 1u);
  EXPECT_EQ(people[0][0], "1970-01-02");  // not a date column
  EXPECT_EQ(people[0][6], "1970-1-2");
  EXPECT_EQ(people[0][8], "1990-07");     // not a whole date: shown as stored
}

TEST(PersonnelTest, AMissingColumnIsAnError) {
  FakeConnection db;
  db.results["people"] = {Row{{"bh", int64_t{1}}}};
  EXPECT_THROW(queryDepartmentPeople(db, "01"), db::DbError);
}

}  // namespace
}  // namespace gz::tree
