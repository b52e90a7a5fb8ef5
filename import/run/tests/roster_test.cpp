// Rosters as departments send them: titles read as people write them, the
// search for a header below row 1, the lines below the people, and a run
// over such a sheet.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "codes/code_map.h"
#include "import/run/import_run.h"
#include "import/shared/column_map.h"
#include "import/shared/roster_footer.h"
#include "import/shared/tests/fakes.h"
#include "import/shared/title_names.h"
#include "import/shared/title_search.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<Cell>>;

TEST(TitleFolding, BlanksAndBreaksGoFullWidthFormsBecomeAscii) {
  struct Row {
    const char* name;
    const char* title;
    const char* folded;
  };
  const Row rows[] = {
      {"ASCII blanks and a tab", " 姓 名\t", "姓名"},
      {"full-width blank", "姓\u3000名", "姓名"},
      {"no-break space", "姓\u00a0名", "姓名"},
      {"line breaks of every kind", "参加工作\r\n时间\r", "参加工作时间"},
      {"full-width brackets", "工龄调整（月）", "工龄调整(月)"},
      {"full-width digits and letters", "从２００６年ＡＢｃ", "从2006年ABc"},
      {"other full-width signs stay", "姓名：（注）", "姓名：(注)"},
      {"a four-byte character stays", "𪚥名", "𪚥名"},
  };
  for (const Row& r : rows) EXPECT_EQ(U(foldTitle(G(r.title))), r.folded) << r.name;
}

TEST(TitleNames, AnExactTitleComesFirstThenFormsAndOtherNames) {
  struct Row {
    const char* name;
    const char* asRead;
    Lines titles;  // "title/how", in order
  };
  const Row rows[] = {
      {"exact", "出生年月", {"出生年月/exact"}},
      {"a form", "出生 年月", {"出生年月/form"}},
      {"another name", "出生日期", {"出生年月/other"}},
      {"another name written with a blank", "公民身份 号码", {"身份证号/other"}},
      {"a title of its own and another name", "工作时间", {"工作时间/exact", "参加工作时间/other"}},
      {"a bracket form", "工龄调整（月)", {"工龄调整（月)/exact"}},
      {"read by no step", "备注", {}},
      {"blanks only", "\u3000 ", {}},
  };
  const TitleNames names;
  for (const Row& r : rows) {
    Lines got;
    for (const RecognisedTitle& t : names.recognise(G(r.asRead))) {
      const char* how = t.match == TitleMatch::Exact ? "exact" : t.match == TitleMatch::Form ? "form" : "other";
      got.push_back(U(t.title) + "/" + how);
    }
    EXPECT_EQ(got, r.titles) << r.name;
  }
}

TEST(TitleNames, TheOperatorsFileAddsNamesInEitherEncoding) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "gz_titles_test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path gbk = dir / "gbk.txt", utf8 = dir / "utf8.txt";
  std::ofstream(gbk, std::ios::binary) << G("个人身份=职工类别\r\n无等号\r\n") << "\xFF\xFF=x\r\n";
  std::ofstream(utf8, std::ios::binary) << "\xEF\xBB\xBF"
                                        << "出生年月 = 生日\n";
  TitleNames names;
  EXPECT_EQ(loadTitlesFile(names, gbk), std::vector<std::size_t>{3});
  EXPECT_TRUE(loadTitlesFile(names, utf8).empty());
  EXPECT_TRUE(loadTitlesFile(names, dir / "missing.txt").empty());
  ASSERT_EQ(names.recognise(G("职工类别")).size(), 1u);
  EXPECT_EQ(U(names.recognise(G("职工类别"))[0].title), "个人身份");
  ASSERT_EQ(names.recognise(G("生日")).size(), 1u);
  EXPECT_EQ(U(names.recognise(G("生日"))[0].title), "出生年月");
  std::filesystem::remove_all(dir);
}

const std::vector<Cell> kHeader = {"序号", "姓名", "出生年月", "参加工作时间", "个人身份"};

std::vector<Cell> personRow(const char* name) { return {"1", name, Cell::date(23802), Cell::date(31260), "干部"}; }

Rows below(int blankRows, Rows rows) {
  Rows out(static_cast<std::size_t>(blankRows));
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

TEST(TitleSearch, FindsTheHeaderInTheFirstRowsAloneOrOverTwoRows) {
  struct Row {
    const char* name;
    Rows sheet;
    bool found;
    TitleRows rows;
    int32_t birthColumn;  // found: where 出生年月 is read
    Lines missing;        // not found
  };
  const Row rows[] = {
      {"a banner and a line above the header",
       {{"人员花名册"}, {"填报单位: 预算科", "", "", "", "填报日期: 2024-01-05"}, kHeader, personRow("张三")},
       true,
       {3, 3},
       3,
       {}},
      {"two rows under a group title",
       {{"序号", "姓名", "基本情况", "", "个人身份"}, {"", "", "出生年月", "参加工作时间", ""}, personRow("张三")},
       true,
       {1, 2},
       3,
       {}},
      {"titles past an empty cell", {{"姓名", "出生年月", "", "参加工作时间", "个人身份"}}, true, {1, 1}, 2, {}},
      {"an exact title wins over another name on its left",
       {{"姓名", "出生年月", "参加工作时间", "个人身份", "出生日期"}},
       true,
       {1, 1},
       2,
       {}},
      {"an exact title wins over another name on its right",
       {{"姓名", "出生日期", "参加工作时间", "个人身份", "出生年月"}},
       true,
       {1, 1},
       5,
       {}},
      {"the header in row 20", below(19, {kHeader}), true, {20, 20}, 3, {}},
      {"the header in row 21 is not looked at",
       below(20, {kHeader}),
       false,
       {1, 1},
       0,
       Lines{"姓名", "出生年月", "参加工作时间", "个人身份"}},
      {"the row that comes closest names what it lacks",
       {{"人员花名册"}, {"姓名", "出生年月", "民族"}},
       false,
       {2, 2},
       0,
       Lines{"参加工作时间", "个人身份"}},
  };
  const TitleNames names;
  for (const Row& r : rows) {
    const auto book = fakeWorkbook(r.sheet);
    const TitleSearch s = searchTitles(book->sheet(), names);
    ASSERT_EQ(s.found, r.found) << r.name;
    EXPECT_EQ(s.rows.first, r.rows.first) << r.name;
    EXPECT_EQ(s.rows.last, r.rows.last) << r.name;
    Lines missing;
    for (std::string_view m : s.missing) missing.push_back(U(m));
    EXPECT_EQ(missing, r.missing) << r.name;
    if (!r.found) continue;
    ColumnMap columns;
    for (const auto& [title, column] : s.entries) columns.set(title, column);
    EXPECT_EQ(columns.lookup(G("出生年月")), r.birthColumn) << r.name;
  }
}

TEST(TitleSearch, TwoRowsReadTheLowerCellOrTheUpperWhereItIsEmpty) {
  const auto book = fakeWorkbook({{"姓名", "基本情况", "", "个人身份"}, {"", "出生年月", "参加工作时间"}});
  Lines titles;
  for (const sheet::CellValue& c : titleCellsAsRead(book->sheet(), {1, 2})) titles.push_back(U(c.text));
  EXPECT_EQ(titles, (Lines{"姓名", "出生年月", "参加工作时间", "个人身份"}));
}

TEST(RosterFooter, TotalsAndSignaturesWithoutABirthDateEndTheData) {
  struct Row {
    const char* name;
    const char* nameCell;
    bool birthEmpty;
    bool footer;
  };
  const Row rows[] = {
      {"totals", "合计: 25人", true, true},
      {"totals spaced out", " 合\u3000计", true, true},
      {"grand total", "总计", true, true},
      {"subtotal", "小计", true, true},
      {"made by", "制表人: 王会计", true, true},
      {"filled by", "填表人", true, true},
      {"checked by", "审核: 李科长", true, true},
      {"responsible", "负责人: 赵", true, true},
      {"a person with a birth date", "合计", false, false},
      {"a name with the word inside", "张合计", true, false},
      {"a plain name", "张三", true, false},
  };
  for (const Row& r : rows) EXPECT_EQ(isFooterLine(G(r.nameCell), r.birthEmpty), r.footer) << r.name;
}

class RosterRun : public ::testing::Test {
 protected:
  void SetUp() override {
    request.departmentCode = "0102";
    request.workbookPath = GZ_SOURCE_DIR "/CMakeLists.txt";  // any existing file: the sheet comes from `rows`
  }
  ImportOutcome run() {
    return AInputExecute(conn, codes, columns, frontend, request,
                         [this](const std::string&) { return fakeWorkbook(rows); });
  }
  Lines persons() const {
    Lines out;
    for (const auto& w : conn.committed)
      if (w.rfind("person", 0) == 0) out.push_back(w);
    return out;
  }

  Rows rows = {{"花名册"},        {"填报单位: 预算科"}, kHeader,           personRow("张三"),
               personRow("李四"), {"", "合计: 2人"},    {"", "制表人: 王"}};
  codes::CodeMap codes;
  ColumnMap columns;
  FakeConnection conn;
  RecordingFrontend frontend;
  ImportRequest request;
};

TEST_F(RosterRun, AFoundHeaderIsImportedOnceTakenAndEndsAboveTheTotals) {
  frontend.takeFoundTitles = true;
  const ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::Completed);
  EXPECT_EQ(persons(), (Lines{"person 张三", "person 李四"}));
  EXPECT_EQ(frontend.only("import"), (Lines{"工作表: Sheet1", "标题在第3行", "数据行: 第4行至第5行",
                                            "XLS相配置!准备导入", "数据到第5行为止: 第6行\"合计: 2人\"不是人员", "张三",
                                            "李四", "导入人员2人,未导入0行,履历记录0条,报告0条"}));
}

TEST_F(RosterRun, AFoundHeaderNotTakenWritesNothingAndSaysWhere) {
  request.mode = ImportMode::Overwrite;
  const ImportOutcome o = run();
  EXPECT_EQ(o.end, RunEnd::LayoutRejected);
  EXPECT_TRUE(o.titlesNotTaken);
  EXPECT_EQ(frontend.events,
            (Lines{"found: 第3行", "import: XLS数据格式不配置!不能导入", "import: 第3行有所需的标题"}));
  EXPECT_TRUE(conn.log.empty());
}

TEST_F(RosterRun, ATotalsLineBelowRowOneTitlesIsNoPerson) {
  rows = {kHeader, personRow("张三"), {"", "合  计"}, personRow("李四")};
  const ImportOutcome o = run();
  EXPECT_EQ(o.rowsTotal, 1);
  EXPECT_EQ(persons(), Lines{"person 张三"});
  EXPECT_EQ(frontend.only("import")[1], "数据到第2行为止: 第3行\"合  计\"不是人员");
}

TEST_F(RosterRun, StartRowsAndRejectsCountSheetRowsBelowTheFoundHeader) {
  frontend.takeFoundTitles = true;
  rows = {{"序号", "姓名", "基本情况", "", "个人身份"},
          {"", "", "出生年月", "参加工作时间", ""},
          personRow("张三"),
          {"2", "李四", "19x3", Cell::date(31260), "干部"},
          personRow("王五")};
  request.firstRow = 2;  // the first data row, wherever it is
  ImportOutcome o = run();
  EXPECT_EQ(o.rowsTotal, 3);
  ASSERT_EQ(o.rejects.rows.size(), 1u);
  EXPECT_EQ(o.rejects.rows[0].row, 4);
  Lines titles;
  for (const sheet::CellValue& c : o.rejects.titles) titles.push_back(U(c.text));
  EXPECT_EQ(titles, (Lines{"序号", "姓名", "出生年月", "参加工作时间", "个人身份"}));

  request.firstRow = 5;
  o = run();
  EXPECT_EQ(o.rowsTotal, 1);
  request.firstRow = 3;
  frontend.events.clear();
  o = run();
  EXPECT_EQ(o.end, RunEnd::Completed);
  request.firstRow = 6;
  frontend.events.clear();
  o = run();
  EXPECT_EQ(o.end, RunEnd::StartRowOutside);
  EXPECT_EQ(U(o.message), "起始行6不是数据行,数据行为第3行至第5行");
}

}  // namespace
}  // namespace gz::imp
