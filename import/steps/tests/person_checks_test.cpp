#include "import/steps/person_checks.h"

#include <gtest/gtest.h>

#include <random>

#include "codes/code_map.h"
#include "import/shared/tests/fakes.h"
#include "sheet/model/cell_value.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

constexpr CalendarDay kToday{2026, 6, 15};

Lines warningsOf(const PersonFacts& facts) {
  Lines out;
  for (const std::string& w : personWarnings(facts, kToday)) out.push_back(U(w));
  return out;
}

// Every line below was worked by hand from the rules of the number: weights
// 7 9 10 5 8 4 2 1 6 3 7 9 10 5 8 4 2, the sum's remainder by 11 giving the
// check character from "10X98765432".
TEST(IdentityNumber, EachFaultGivesItsLineAndValidNumbersNone) {
  struct Row {
    const char* name;
    const char* id;
    std::optional<CalendarDay> birth;
    const char* sex;
    Lines want;
  };
  const CalendarDay b1980{1980, 3, 7};
  const CalendarDay b1949{1949, 12, 31};
  const Row rows[] = {
      {"valid, check X", "11010519491231002X", b1949, "女", {}},
      {"valid, small x", "11010519491231002x", b1949, "2", {}},
      {"valid, male", "110101198003071239", b1980, "男", {}},
      {"valid, code 1", "110101198003071239", b1980, "1", {}},
      {"valid, 15 digits", "110101800307123", b1980, "男", {}},
      {"valid, blanks around", " 110101198003071239\t", b1980, "", {}},
      {"valid, no birth cell", "110101198003071239", std::nullopt, "", {}},
      {"valid, Taiwan resident's permit", "830000198003071236", b1980, "", {}},
      {"wrong check digit", "110101198003071234", b1980, "男", {"身份证号\"110101198003071234\"校验码不对,末位应为9"}},
      {"wrong check letter",
       "110101198003071231X",
       b1980,
       "",
       {"身份证号\"110101198003071231X\"不是身份证号码(应为18位或15位数字)"}},
      {"X where a digit belongs", "11010519491231002X", b1949, "", {}},
      {"no province", "990101198003071232", b1980, "", {"身份证号\"990101198003071232\"前两位不是省级行政区划代码"}},
      {"no such day",
       "110101198002301231",
       std::nullopt,
       "",
       {"身份证号\"110101198002301231\"中的出生日期不是有效日期"}},
      {"born in the future",
       "110101203001011236",
       std::nullopt,
       "",
       {"身份证号\"110101203001011236\"中的出生日期晚于今天"}},
      {"born before 1900",
       "440524188001010014",
       std::nullopt,
       "",
       {"身份证号\"440524188001010014\"中的出生日期早于1900年"}},
      {"birth month differs",
       "110101198003071239",
       CalendarDay{1981, 3, 7},
       "",
       {"身份证号\"110101198003071239\"中的出生年月1980-03,与出生年月1981-03不符"}},
      {"same month, other day", "110101198003071239", CalendarDay{1980, 3, 20}, "", {}},
      {"sex differs", "110101198003071239", b1980, "女", {"身份证号\"110101198003071239\"表示男性,与性别\"女\"不符"}},
      {"sex code differs",
       "11010519491231002X",
       b1949,
       "1",
       {"身份证号\"11010519491231002X\"表示女性,与性别\"1\"不符"}},
      {"15 digits, sex differs",
       "110101800307123",
       b1980,
       "2",
       {"身份证号\"110101800307123\"表示男性,与性别\"2\"不符"}},
      {"full-width digits",
       "１１０１０１１９８００３０７１２３９",
       b1980,
       "男",
       {"身份证号\"１１０１０１１９８００３０７１２３９\"含全角数字或X"}},
      {"full-width X", "11010519491231002Ｘ", b1949, "女", {"身份证号\"11010519491231002Ｘ\"含全角数字或X"}},
      {"blank inside", "110101 198003071239", b1980, "", {"身份证号\"110101 198003071239\"中间有空格"}},
      {"full-width blank inside", "110101　198003071239", b1980, "", {"身份证号\"110101　198003071239\"中间有空格"}},
      {"too short", "12345", std::nullopt, "", {"身份证号\"12345\"不是身份证号码(应为18位或15位数字)"}},
      {"17 digits",
       "11010119800307123",
       std::nullopt,
       "",
       {"身份证号\"11010119800307123\"不是身份证号码(应为18位或15位数字)"}},
      {"a letter inside",
       "1101011980030712A9",
       std::nullopt,
       "",
       {"身份证号\"1101011980030712A9\"不是身份证号码(应为18位或15位数字)"}},
      {"full width and wrong check",
       "１10101198003071234",
       b1980,
       "",
       {"身份证号\"１10101198003071234\"含全角数字或X", "身份证号\"１10101198003071234\"校验码不对,末位应为9"}},
  };
  for (const Row& r : rows) {
    PersonFacts f;
    f.idCard = G(r.id);
    f.birth = r.birth;
    f.sexText = G(r.sex);
    if (*r.sex != 0) f.sexCode = std::string(r.sex);  // the code map's answer does not matter here
    EXPECT_EQ(warningsOf(f), r.want) << r.name;
  }
}

// The check character computed as the standard's table gives it, apart from
// the code under test.
char checkByTable(const std::string& digits17) {
  static const int kWeights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  int sum = 0;
  for (int i = 0; i < 17; ++i) sum += (digits17[static_cast<std::size_t>(i)] - '0') * kWeights[i];
  return "10X98765432"[sum % 11];
}

TEST(IdentityNumber, GeneratedValidNumbersThatAgreeWithTheirRowGiveNoLine) {
  const int provinces[] = {11, 12, 13, 14, 15, 21, 22, 23, 31, 32, 33, 34, 35, 36, 37, 41, 42, 43,
                           44, 45, 46, 50, 51, 52, 53, 54, 61, 62, 63, 64, 65, 71, 81, 82, 83};
  std::mt19937 rng(20261209);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int checked = 0;
  for (int i = 0; i < 1500; ++i) {
    const CalendarDay born{pick(1900, 2025), pick(1, 12), pick(1, 28)};
    const int seq = pick(0, 999);
    char head[32];
    std::snprintf(head, sizeof head, "%02d%04d", provinces[pick(0, std::size(provinces) - 1)], pick(0, 9999));
    char tail[32];
    std::snprintf(tail, sizeof tail, "%04d%02d%02d%03d", born.year, born.month, born.day, seq);
    const std::string digits17 = std::string(head) + tail;
    PersonFacts f;
    f.idCard = digits17 + checkByTable(digits17);
    if (i % 3 == 0 && born.year < 2000) f.idCard = std::string(head) + std::string(tail).substr(2);  // 15 digits
    const bool male = seq % 2 == 1;
    f.sexText = G(i % 2 ? (male ? "男" : "女") : (male ? "1" : "2"));
    f.sexCode = male ? "1" : "2";
    f.birth = born;
    f.workStart =
        CalendarDay{born.year + 18, 9, 1} < kToday ? std::optional(CalendarDay{born.year + 18, 9, 1}) : std::nullopt;
    f.workStartTitle = "gzsj";
    ASSERT_EQ(warningsOf(f), Lines{}) << f.idCard;
    ++checked;
  }
  EXPECT_GE(checked, 1000);
}

TEST(PersonChecks, DatesThatCannotBeRightAndSexWithoutACode) {
  struct Row {
    const char* name;
    std::optional<CalendarDay> birth;
    std::optional<CalendarDay> workStart;
    const char* sexText;
    bool sexHasCode;
    Lines want;
  };
  const CalendarDay born{1980, 2, 29};
  const Row rows[] = {
      {"plausible dates", born, CalendarDay{2000, 9, 1}, "男", true, {}},
      {"born after today", CalendarDay{2026, 6, 16}, std::nullopt, "", false, {"出生年月2026-06-16晚于今天"}},
      {"born today", kToday, std::nullopt, "", false, {}},
      {"born before 1900", CalendarDay{1899, 12, 31}, std::nullopt, "", false, {"出生年月1899-12-31早于1900年"}},
      {"work after today", born, CalendarDay{2027, 1, 1}, "", false, {"参加工作时间2027-01-01晚于今天"}},
      {"work at 13", born, CalendarDay{1994, 2, 28}, "", false, {"参加工作时间1994-02-28早于14周岁生日"}},
      {"work on the 14th birthday", born, CalendarDay{1994, 3, 1}, "", false, {}},
      {"work without a birth date", std::nullopt, CalendarDay{1950, 1, 1}, "", false, {}},
      {"sex text without a code",
       std::nullopt,
       std::nullopt,
       "男性",
       false,
       {"性别\"男性\"在代码表中没有对应的代码,未保存性别"}},
      {"empty sex", std::nullopt, std::nullopt, "", false, {}},
  };
  for (const Row& r : rows) {
    PersonFacts f;
    f.birth = r.birth;
    f.workStart = r.workStart;
    f.workStartTitle = "\xB2\xCE\xBC\xD3\xB9\xA4\xD7\xF7\xCA\xB1\xBC\xE4";  // 参加工作时间
    f.sexText = G(r.sexText);
    if (r.sexHasCode) f.sexCode = "1";
    EXPECT_EQ(warningsOf(f), r.want) << r.name;
  }
}

TEST(PersonChecks, SexCodesForTheTextsClerksWrite) {
  codes::CodeMap codes;
  codes.set(G("男"), "1");
  codes.set(G("女"), "2");
  codes.set("1", "1");
  struct Row {
    const char* name;
    const char* text;
    std::optional<std::string> want;
  };
  const Row rows[] = {
      {"男 through the map", "男", "1"},         {"女 through the map", "女", "2"}, {"1 as before", "1", "1"},
      {"2 without a code stays empty", "2", ""}, {"no code", "未知", std::nullopt}, {"empty", "", std::nullopt},
  };
  for (const Row& r : rows) EXPECT_EQ(sexCodeFor(G(r.text), codes), r.want) << r.name;
}

TEST(PersonChecks, IdentityCellsAsStored) {
  using K = sheet::CellKind;
  struct Row {
    const char* name;
    sheet::CellValue cell;
    IdCellRead read;
    db::Value stored;
  };
  const Row rows[] = {
      {"18 digits as a number lost digits", {K::Number, false, 110101198003071239.0, {}}, IdCellRead::LostDigits, {}},
      {"16 digits as a number", {K::Number, false, 1e15, {}}, IdCellRead::LostDigits, {}},
      {"15 digits as a number are exact",
       {K::Number, false, 110101800307123.0, {}},
       IdCellRead::Ok,
       std::string("110101800307123")},
      {"a small number", {K::Number, false, 123456.0, {}}, IdCellRead::Ok, std::string("123456")},
      {"text as it stands",
       {K::Text, false, 0, " 11010519491231002x"},
       IdCellRead::Ok,
       std::string(" 11010519491231002x")},
      {"empty", {K::Empty, false, 0, {}}, IdCellRead::Ok, std::monostate{}},
      {"error value", {K::Error, false, 0x2A, {}}, IdCellRead::ErrorValue, {}},
  };
  for (const Row& r : rows) {
    db::Value v;
    std::string idText;
    EXPECT_EQ(readIdCardCell(r.cell, v, idText), r.read) << r.name;
    if (r.read == IdCellRead::Ok) {
      EXPECT_EQ(v, r.stored) << r.name;
    }
  }
}

}  // namespace
}  // namespace gz::imp
