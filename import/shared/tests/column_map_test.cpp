#include "import/shared/column_map.h"

#include <gtest/gtest.h>

#include "import/shared/step_context.h"
#include "import/shared/tests/fakes.h"

namespace gz::imp {
namespace {

using testing::Cell;
using testing::fakeWorkbook;
using testing::G;
using testing::U;

ColumnMap titlesOf(const std::vector<Cell>& row) {
  ColumnMap m;
  EXPECT_EQ(ReadColumnTitles(*fakeWorkbook({row}), m), 0);
  return m;
}

TEST(ReadColumnTitles, StopsAtTheFirstEmptyTitleAndTheLaterColumnWins) {
  ColumnMap m = titlesOf({"序号", "姓名", "出生年月", "姓名", "", "学历"});
  EXPECT_EQ(m.lookup(G("序号")), 1);
  EXPECT_EQ(m.lookup(G("姓名")), 4);
  EXPECT_EQ(m.lookup(G("出生年月")), 3);
  EXPECT_EQ(m.lookup(G("学历")), 0);
}

TEST(ReadColumnTitles, NumberTitlesAreEnteredByTheirText) {
  ColumnMap m = titlesOf({Cell::num(2006), Cell::num(3.5)});
  EXPECT_EQ(m.lookup("2006"), 1);
  EXPECT_EQ(m.lookup("3.5"), 2);
}

TEST(ReadColumnTitles, NamesTheFirstUnreadableTitle) {
  ColumnMap m;
  EXPECT_EQ(ReadColumnTitles(*fakeWorkbook({{"姓名", Cell::unreadable("出生�"), Cell::unreadable("�"), "学历"}}), m),
            2);
  EXPECT_EQ(m.lookup(G("学历")), 4);  // the titles after it are still read
  EXPECT_EQ(U(unreadableTitleLine(2)), "第1行第2列的标题含无法识别的文字");
}

TEST(ColumnMap, LookupAddsAbsentTitlesWithZero) {
  ColumnMap m;
  EXPECT_EQ(m.lookup("x"), 0);
  EXPECT_EQ(m.size(), 1u);
  m.set("x", 3);
  EXPECT_EQ(m.lookup("x"), 3);
  m.clear();
  EXPECT_EQ(m.size(), 0u);
}

struct LayoutCase {
  const char* what;
  std::vector<Cell> titles;
  bool accepted;
};

TEST(LayoutCheck, FourRequiredTitlesByteForByte) {
  const LayoutCase cases[] = {
      {"all four", {"姓名", "出生年月", "参加工作时间", "个人身份"}, true},
      {"in another order, among others", {"学历", "个人身份", "姓名", "性别", "参加工作时间", "出生年月"}, true},
      {"工作时间 does not stand in for 参加工作时间", {"姓名", "出生年月", "工作时间", "个人身份"}, false},
      {"both work titles", {"姓名", "出生年月", "工作时间", "参加工作时间", "个人身份"}, true},
      {"an empty title ends the row", {"姓名", "出生年月", "", "参加工作时间", "个人身份"}, false},
      {"a trailing blank makes another title", {"姓名 ", "出生年月", "参加工作时间", "个人身份"}, false},
      {"a leading blank too", {"姓名", " 出生年月", "参加工作时间", "个人身份"}, false},
      {"no personal status", {"姓名", "出生年月", "参加工作时间"}, false},
      {"empty first row", {}, false},
  };
  for (const auto& c : cases) {
    ColumnMap m = titlesOf(c.titles);
    EXPECT_EQ(layoutAccepted(m), c.accepted) << c.what;
  }
}

TEST(SheetColumns, PreferredFormsWinWhereASheetHasSeveral) {
  ColumnMap m = titlesOf({"姓名", "工龄调整(月)", "工龄调整（月）", "参加工作时间", "工作时间"});
  SheetColumns c = SheetColumns::resolve(m);
  EXPECT_EQ(c.seniority, 3);  // the full-width form is listed before the ASCII one
  EXPECT_EQ(c.workStart, 5);
  EXPECT_EQ(c.workStartTitle, G("工作时间"));

  ColumnMap only = titlesOf({"工龄调整（月)", "参加工作时间"});
  SheetColumns d = SheetColumns::resolve(only);
  EXPECT_EQ(d.seniority, 1);
  EXPECT_EQ(d.workStart, 2);
  EXPECT_EQ(d.workStartTitle, G("参加工作时间"));
  EXPECT_EQ(d.education, 0);
}

TEST(SheetColumns, EachSeniorityFormIsRecognised) {
  for (const char* form : {"工龄调整(月）", "工龄调整（月）", "工龄调整(月)", "工龄调整（月)"}) {
    ColumnMap m = titlesOf({"姓名", form});
    EXPECT_EQ(SheetColumns::resolve(m).seniority, 2) << form;
  }
  ColumnMap none = titlesOf({"姓名", "工龄调整(月）)", "工龄调整"});
  EXPECT_EQ(SheetColumns::resolve(none).seniority, 0);
}

}  // namespace
}  // namespace gz::imp
