#include "import/steps/person_step.h"

#include <gtest/gtest.h>

#include "codes/code_map.h"
#include "import/shared/column_map.h"
#include "import/shared/tests/fakes.h"
#include "import/shared/typed_date_counter.h"

namespace gz::imp {
namespace {

using namespace testing;

const std::vector<Cell> kTitles = {"姓名", "出生年月", "参加工作时间", "个人身份"};
constexpr double k1965_03_01 = 23802;  // serial day count of 1965-03-01
constexpr double k1985_08_01 = 31260;

// One sheet row with the four required columns plus `extra` titles and cells.
class PersonStep : public ::testing::Test {
 public:
  void SetUp() override {
    codes.set("1", G("男"));
    codes.set("12", G("十二"));
    codes.set(G("汉族"), "01");
    codes.set(G("𬌗族"), "99");  // a name whose first character takes four bytes
  }

  PersonOutcome run(std::vector<std::pair<Cell, Cell>> extra = {}, Cell birth = Cell::date(k1965_03_01),
                    Cell work = Cell::date(k1985_08_01), Cell status = "干部") {
    std::vector<Cell> titles = kTitles;
    std::vector<Cell> row = {"张三", birth, work, status};
    for (auto& [t, v] : extra) {
      titles.push_back(t);
      row.push_back(v);
    }
    book = fakeWorkbook(std::vector<std::vector<Cell>>{titles, row});
    map.clear();
    EXPECT_EQ(ReadColumnTitles(*book, map), 0);
    columns = SheetColumns::resolve(map);
    StepContext ctx{*book, columns, codes, conn, frontend};
    return ImportPersonRecord(ctx, 2, "0102", G("张三"), carry, record, &typedDates);
  }
  std::optional<db::Value> col(const char* name) { return column(record, name); }

  codes::CodeMap codes;
  ColumnMap map;
  SheetColumns columns;
  std::unique_ptr<sheet::Workbook> book;
  FakeConnection conn;
  RecordingFrontend frontend;
  RowCarry carry;
  db::PersonRecord record;
  TypedDateCounter typedDates;
};

TEST_F(PersonStep, FixedColumnsDatesAndTheNameLine) {
  PersonOutcome p = run();
  ASSERT_TRUE(p.stored) << U(p.failure);
  EXPECT_EQ(p.id, 57);
  EXPECT_EQ(frontend.events, std::vector<std::string>{"import: 张三"});
  ASSERT_EQ(conn.persons.size(), 1u);
  std::vector<std::string> names;
  for (const auto& [c, v] : conn.persons[0].columns()) names.push_back(c);
  EXPECT_EQ(names, (std::vector<std::string>{"bm", "jxqyf", "xm", "jkzk", "csny", "gzsj", "grsf"}));
  EXPECT_EQ(col("bm"), db::Value(std::string("0102")));
  EXPECT_EQ(col("jxqyf"), db::Value(int64_t{12}));
  EXPECT_EQ(col("jkzk"), db::Value(std::string("10")));
  EXPECT_EQ(col("csny"), db::Value(db::Date{1965, 3, 1}));
  EXPECT_EQ(col("gzsj"), db::Value(db::Date{1985, 8, 1}));
  EXPECT_EQ(col("grsf"), db::Value(G("干部")));
  EXPECT_EQ(carry.workStart, "1985-08-01");
}

TEST_F(PersonStep, DatesFromTextNumbersAndEmptyCells) {
  run({}, "1965-3-1", Cell::num(k1985_08_01));
  EXPECT_EQ(col("csny"), db::Value(db::Date{1965, 3, 1}));
  EXPECT_EQ(col("gzsj"), db::Value(db::Date{1985, 8, 1}));

  run({}, "");  // an empty date cell is day 0 of the count
  EXPECT_EQ(col("csny"), db::Value(db::Date{1899, 12, 30}));
}

TEST_F(PersonStep, DatesAsClerksTypeThemAreTheDatesTheyState) {
  struct Case {
    Cell birth;
    db::Date stored;
  } cases[] = {
      {Cell::num(1965.03), {1965, 3, 1}},  {Cell::num(1965.3), {1965, 3, 1}}, {Cell::num(1965.1), {1965, 10, 1}},
      {Cell::num(19650301), {1965, 3, 1}}, {Cell::num(196503), {1965, 3, 1}}, {"1965.03.01", {1965, 3, 1}},
      {"1965.3.1", {1965, 3, 1}},          {"1965/3/1", {1965, 3, 1}},        {"1965年3月1日", {1965, 3, 1}},
      {"19650301", {1965, 3, 1}},          {"1965.03", {1965, 3, 1}},         {"1965-03", {1965, 3, 1}},
      {"1965年3月", {1965, 3, 1}},         {"196503", {1965, 3, 1}},
  };
  for (const Case& c : cases) {
    PersonOutcome p = run({}, c.birth);
    ASSERT_TRUE(p.stored) << U(p.failure);
    EXPECT_EQ(col("csny"), db::Value(c.stored)) << c.birth.text << c.birth.number;
  }
  // Only the plain numbers are counted, per title and kind.
  EXPECT_EQ(typedDates.lines().size(), 2u);
  EXPECT_EQ(U(typedDates.lines()[0]), "出生年月按“年.月”读取: 3个单元格");
  EXPECT_EQ(U(typedDates.lines()[1]), "出生年月按“年月日”数字读取: 2个单元格");
}

// A year with a point and digits that give no month is no date, whether
// typed as text or as a number the cell shows plainly: the person is refused
// as for "1975-13", never stored with a day of 1905.
TEST_F(PersonStep, AYearWithNoMonthIsNoDate) {
  struct Row {
    const char* name;
    Cell birth;
    Cell work;
    const char* failure;
  };
  const Row cases[] = {
      {"month 13 as a number", Cell::num(1975.13), Cell::date(k1985_08_01), "出生年月\"1975.13\"不是日期"},
      {"month 13 as text", "1975.13", Cell::date(k1985_08_01), "出生年月\"1975.13\"不是日期"},
      {"month 0 as a number", Cell::num(1998.00), Cell::date(k1985_08_01), "出生年月\"1998\"不是日期"},
      {"month 00 as text", "1998.00", Cell::date(k1985_08_01), "出生年月\"1998.00\"不是日期"},
      {"month 0 as text", "1975.0", Cell::date(k1985_08_01), "出生年月\"1975.0\"不是日期"},
      {"work start, number", Cell::date(k1965_03_01), Cell::num(1985.13), "参加工作时间\"1985.13\"不是日期"},
      {"work start, text", Cell::date(k1965_03_01), "1985.00", "参加工作时间\"1985.00\"不是日期"},
      {"as written with a dash", "1975-13", Cell::date(k1985_08_01), "出生年月\"1975-13\"不是日期"},
  };
  for (const Row& c : cases) {
    const PersonOutcome p = run({}, c.birth, c.work);
    EXPECT_FALSE(p.stored) << c.name;
    EXPECT_EQ(U(p.failure), c.failure) << c.name;
  }
  EXPECT_TRUE(typedDates.lines().empty());
}

TEST_F(PersonStep, TypedDatesOfAPersonNotStoredAreNotCounted) {
  run({}, "19x3", Cell::num(1985.08));  // the birth date fails before the work start is read
  conn.refusePersonNamed = "张三";
  run({}, Cell::num(1965.03));
  EXPECT_TRUE(typedDates.lines().empty());
  conn.refusePersonNamed.clear();
  run({}, Cell::date(k1965_03_01), Cell::num(1985.08));
  ASSERT_EQ(typedDates.lines().size(), 1u);
  EXPECT_EQ(U(typedDates.lines()[0]), "参加工作时间按“年.月”读取: 1个单元格");
}

TEST_F(PersonStep, WorkStartPrefersTheWorkTimeColumnWhereverItStands) {
  run({{"工作时间", Cell::date(k1965_03_01)}});
  EXPECT_EQ(col("gzsj"), db::Value(db::Date{1965, 3, 1}));
  EXPECT_EQ(carry.workStart, "1965-03-01");
}

TEST_F(PersonStep, SeniorityIsNegatedAndZeroOrNonWholeIsNotSet) {
  const std::pair<Cell, std::optional<int64_t>> cases[] = {
      {"6", -6},
      {Cell::num(6), -6},
      {"-3", 3},
      {" 12", -12},
      {"$10", -16},
      {"0", std::nullopt},
      {"", std::nullopt},
      {"6.5", std::nullopt},
      {"6 ", std::nullopt},
      {"abc", std::nullopt},
  };
  for (const auto& [cell, want] : cases) {
    run({{"工龄调整(月)", cell}});
    auto v = col("kjgl");
    if (want) EXPECT_EQ(v, db::Value(*want)) << cell.text;
    else EXPECT_FALSE(v) << cell.text;
  }
}

TEST_F(PersonStep, SexPassesOnlyTextsFromOneToTwoInByteOrder) {
  const std::pair<Cell, std::optional<std::string>> cases[] = {
      {"1", G("男")},      {"12", G("十二")},    {"2", std::string()}, {Cell::num(1), G("男")}, {"0", std::nullopt},
      {"3", std::nullopt}, {"20", std::nullopt}, {"男", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& [cell, want] : cases) {
    run({{"性别", cell}});
    auto v = col("xb");
    if (want) EXPECT_EQ(v, db::Value(*want)) << cell.text;
    else EXPECT_FALSE(v) << cell.text;
  }
}

// An identity cell that lost digits refuses the person; an old 15-digit
// number is stored as its digits; 性别 as clerks write it gets its code; what
// looks wrong is told and the person stored all the same.
TEST_F(PersonStep, IdentityCellsAndSexTextsAsClerksTypeThem) {
  codes.set(G("女"), "2");
  struct Row {
    const char* name;
    Cell id;
    Cell sex;
    const char* failure;
    std::optional<db::Value> sfzh;
    std::optional<db::Value> xb;
    std::vector<std::string> warnings;
  };
  const Row rows[] = {
      {"18 digits typed as a number",
       Cell::num(110101196503010011.0),
       "1",
       "身份证号是数值,第15位以后的数字已丢失;请把该列设为文本后重新输入",
       std::nullopt,
       std::nullopt,
       {}},
      {"15 digits typed as a number",
       Cell::num(110101650301001.0),
       "1",
       "",
       std::string("110101650301001"),
       G("男"),
       {}},
      {"女 through the code map",
       "11010119650301002X",
       "女",
       "",
       std::string("11010119650301002X"),
       std::string("2"),
       {}},
      {"sex disagrees",
       Cell::num(110101650301001.0),
       "女",
       "",
       std::string("110101650301001"),
       std::string("2"),
       {"身份证号\"110101650301001\"表示男性,与性别\"女\"不符"}},
      {"sex text without a code",
       "110101196503010011",
       "男性",
       "",
       std::string("110101196503010011"),
       std::nullopt,
       {"性别\"男性\"在代码表中没有对应的代码,未保存性别"}},
  };
  for (const Row& r : rows) {
    const PersonOutcome p = run({{"身份证号", r.id}, {"性别", r.sex}});
    EXPECT_EQ(p.stored, *r.failure == 0) << r.name;
    EXPECT_EQ(U(p.failure), r.failure) << r.name;
    EXPECT_EQ(col("sfzh"), r.sfzh) << r.name;
    if (p.stored) {
      EXPECT_EQ(col("xb"), r.xb) << r.name;
    }
    std::vector<std::string> warnings;
    for (const std::string& w : p.warnings) warnings.push_back(U(w));
    EXPECT_EQ(warnings, r.warnings) << r.name;
  }
}

TEST_F(PersonStep, EthnicGroupNamesAreTranslatedCodesKept) {
  const std::pair<Cell, std::string> cases[] = {
      {"汉族", "01"}, {"01", "01"}, {Cell::num(1), "1"}, {"", ""}, {"苗族", ""}, {"A族", ""}, {"𬌗族", "99"},
  };
  for (const auto& [cell, want] : cases) {
    run({{"民族", cell}});
    EXPECT_EQ(col("mz"), db::Value(want)) << cell.text;
  }
}

TEST_F(PersonStep, DeductYearsAndCollegeYears) {
  run({{"扣减从1993年到2006年除见习期外年度考订不计考核等不合格年限", "2"},
       {"不计算工龄的大专以上学龄（年）", Cell::num(3.06)}});
  EXPECT_EQ(col("kjtgnf"), db::Value(int64_t{2}));
  EXPECT_EQ(col("dzysxl"), db::Value(int64_t{42}));
  EXPECT_EQ(carry.wholeYears, 3);

  run({{"不计算工龄的大专以上学龄（年）", "0.11"}});
  EXPECT_EQ(col("dzysxl"), db::Value(int64_t{11}));
  EXPECT_EQ(carry.wholeYears, 0);

  carry.wholeYears = 9;  // reset for each row, also when the text is not a number
  run({{"扣减从1993年到2006年除见习期外年度考订不计考核等不合格年限", "0"},
       {"不计算工龄的大专以上学龄（年）", "三年"}});
  EXPECT_FALSE(col("kjtgnf"));
  EXPECT_FALSE(col("dzysxl"));
  EXPECT_EQ(carry.wholeYears, 0);
}

TEST_F(PersonStep, UnconvertedCellValues) {
  run({{"序号", Cell::num(7)}, {"身份证号", "11010119650301001X"}}, Cell::date(k1965_03_01), Cell::date(k1985_08_01),
      Cell::num(2.5));
  EXPECT_EQ(col("bh"), db::Value(int64_t{7}));  // whole numbers as integers, never "7.0"
  EXPECT_EQ(col("sfzh"), db::Value(std::string("11010119650301001X")));
  EXPECT_EQ(col("grsf"), db::Value(2.5));

  run({}, Cell::date(k1965_03_01), Cell::date(k1985_08_01), "");
  EXPECT_EQ(col("grsf"), db::Value(std::monostate{}));
}

TEST_F(PersonStep, CellValueMapping) {
  auto mapped = [](sheet::CellValue c) {
    db::Value v;
    EXPECT_TRUE(cellToDbValue(c, v));
    return v;
  };
  using K = sheet::CellKind;
  // An 18-digit id typed as a number: the sheet shows 15 significant digits,
  // and the digits after them are zeros, never the double's artefacts (...016).
  EXPECT_EQ(mapped({K::Number, false, 110101196503010011.0, {}}), db::Value(int64_t{110101196503010000}));
  EXPECT_EQ(mapped({K::Number, false, -11010119701231002.0, {}}), db::Value(int64_t{-11010119701231000}));
  EXPECT_EQ(mapped({K::Number, false, 999999999999999.0, {}}), db::Value(int64_t{999999999999999}));
  EXPECT_EQ(mapped({K::Number, false, -0.0, {}}), db::Value(int64_t{0}));
  EXPECT_EQ(mapped({K::Number, false, 1e300, {}}), db::Value(1e300));
  EXPECT_EQ(mapped({K::Number, true, k1965_03_01 + 0.5, {}}), db::Value(db::Date{1965, 3, 1}));
  EXPECT_EQ(mapped({K::Boolean, false, 1, {}}), db::Value(int64_t{1}));
  EXPECT_EQ(mapped({K::Text, false, 0, "x"}), db::Value(std::string("x")));
  db::Value v;
  EXPECT_FALSE(cellToDbValue({K::Error, false, 0x2A, {}}, v));
}

// A row whose person cannot be stored keeps nothing of it, and says why.
TEST_F(PersonStep, FailuresStoreNothingAndNameTheReason) {
  struct Case {
    const char* what;
    std::function<PersonOutcome(PersonStep&)> run;
    const char* reason;
  } cases[] = {
      {"birth date text", [](PersonStep& t) { return t.run({}, "19x3"); }, "出生年月\"19x3\"不是日期"},
      {"birth date boolean", [](PersonStep& t) { return t.run({}, Cell::boolean(true)); }, "出生年月\"TRUE\"不是日期"},
      {"work start text", [](PersonStep& t) { return t.run({{"工作时间", "昨天"}}); }, "工作时间\"昨天\"不是日期"},
      {"error in the serial number", [](PersonStep& t) { return t.run({{"序号", Cell::error(0x2A)}}); },
       "序号单元格是错误值 #N/A"},
      {"error in the status",
       [](PersonStep& t) { return t.run({}, Cell::date(k1965_03_01), Cell::date(1), Cell::error(0x07)); },
       "个人身份单元格是错误值 #DIV/0!"},
      {"college years out of range", [](PersonStep& t) { return t.run({{"不计算工龄的大专以上学龄（年）", "1e30"}}); },
       "不计算工龄的大专以上学龄（年）\"1e30\"超出范围"},
      {"unreadable id number", [](PersonStep& t) { return t.run({{"身份证号", Cell::unreadable("1101�")}}); },
       "身份证号\"1101�\"含无法识别的文字"},
      {"unreadable status",
       [](PersonStep& t) { return t.run({}, Cell::date(k1965_03_01), Cell::date(1), Cell::unreadable("干�")); },
       "个人身份\"干�\"含无法识别的文字"},
      {"unreadable history cell", [](PersonStep& t) { return t.run({{"学历", Cell::unreadable("1990.07大�")}}); },
       "学历\"1990.07大�\"含无法识别的文字"},
      {"unreadable seniority in its second form",
       [](PersonStep& t) { return t.run({{"工龄调整（月）", Cell::unreadable("�")}}); },
       "工龄调整（月）\"�\"含无法识别的文字"},
  };
  for (auto& c : cases) {
    conn.persons.clear();
    frontend.events.clear();
    PersonOutcome p = c.run(*this);
    EXPECT_FALSE(p.stored) << c.what;
    EXPECT_EQ(U(p.failure), c.reason) << c.what;
    EXPECT_TRUE(conn.persons.empty()) << c.what;
    EXPECT_EQ(frontend.events, std::vector<std::string>{"import: 张三"}) << c.what;  // the name is shown all the same
  }
}

TEST_F(PersonStep, DatabaseRefusalIsAFailureWithTheDatabaseText) {
  conn.refusePersonNamed = "张三";
  PersonOutcome p = run();
  EXPECT_FALSE(p.stored);
  EXPECT_EQ(U(p.failure), "数据库拒绝保存此人:person refused");
}

}  // namespace
}  // namespace gz::imp
