#include <gtest/gtest.h>

#include "codes/code_map.h"
#include "import/shared/column_map.h"
#include "import/shared/tests/fakes.h"
#include "import/steps/assessment_step.h"
#include "import/steps/education_step.h"
#include "import/steps/history_lines.h"
#include "import/steps/position_step.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

// One data row with the three history cells, run through one step at a time.
class HistoryStep : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto [k, v] : {std::pair{"中专", "41"},
                        {"大学", "21"},
                        {"科员", "31"},
                        {"科长", "32"},
                        {"优秀", "1"},
                        {"合格", "2"},
                        {"称职", "x3"}})
      codes.set(G(k), G(v));
  }

  void sheet(std::string education, std::string position = "", std::string assessment = "") {
    book = fakeWorkbook(
        std::vector<std::vector<Cell>>{{"姓名", "学历", "执行基本工资对应职务", "从2006年开始的考核情况"},
                                       {"张三", std::move(education), std::move(position), std::move(assessment)}});
    map.clear();
    EXPECT_EQ(ReadColumnTitles(*book, map), 0);
    columns = SheetColumns::resolve(map);
  }
  StepContext ctx() { return StepContext{*book, columns, codes, conn, frontend}; }

  HistoryCounts education(const std::string& cell, std::string workStart = "1993-08-01", int32_t years = 0) {
    sheet(cell);
    return ImportEducationHistory(ctx(), 2, 57, G("张三"), workStart, years);
  }
  HistoryCounts position(const std::string& cell) {
    sheet("", cell);
    return ImportPositionHistory(ctx(), 2, 57, G("张三"));
  }
  HistoryCounts assessment(const std::string& cell) {
    sheet("", "", cell);
    return ImportAssessmentHistory(ctx(), 2, 57, G("张三"));
  }
  // After a one-line cell: the one statement written holds the quoted value
  // `stored` (no statement when it is empty), and `report` is the one error
  // line (none when it is empty).
  void expectOneLineOutcome(const std::string& cell, const char* stored, const char* report) {
    if (*stored) {
      ASSERT_EQ(conn.committed.size(), 1u) << cell;
      EXPECT_NE(conn.committed[0].find(std::string("'") + stored + "'"), std::string::npos) << cell;
    } else {
      EXPECT_TRUE(conn.committed.empty()) << cell;
    }
    EXPECT_EQ(frontend.events, *report ? Lines{std::string("error: ") + report} : Lines{}) << cell;
  }
  void reset() {
    conn.committed.clear();
    frontend.events.clear();
    frontend.errorLinesGbk.clear();
  }

  codes::CodeMap codes;
  ColumnMap map;
  SheetColumns columns;
  std::unique_ptr<sheet::Workbook> book;
  FakeConnection conn;
  RecordingFrontend frontend;
};

TEST_F(HistoryStep, EducationWorkedExample) {
  HistoryCounts n = education("1990.07中专\r\n1993.07大学\n2001.12研究生", "1993-08-01", 3);
  EXPECT_EQ(conn.committed, (Lines{
                                "insert into ryxl (mid,xxxs,xlrq,xldm) values (57,'全日制','1990-07-1','41')",
                                "insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values (57,'全日制','1993-07-1','21',3)",
                            }));
  EXPECT_EQ(frontend.events, Lines{"error: 学历:张三:研究生"});
  EXPECT_EQ(n.stored, 2);
  EXPECT_EQ(n.reported, 1);
}

TEST_F(HistoryStep, EducationStudyModeComparesDateTexts) {
  struct Case {
    const char* line;
    const char* workStart;
    const char* mode;
  } cases[] = {
      {"1993.07大学", "1993-08-01", "全日制"},
      // "1" after the common "1993-08-" is above "0"
      {"1993.08大学", "1993-08-01", "在职"},
      {"1993.08大学", "1993-08-15", "全日制"},  // the education text is a prefix
      {"1993.08大学", "1993-08-20", "全日制"},
      {"1994.01大学", "1993-08-01", "在职"},
      {"1993.07大学", "", "在职"},
  };
  for (const auto& c : cases) {
    reset();
    education(c.line, c.workStart);
    ASSERT_EQ(conn.committed.size(), 1u) << c.line << " " << c.workStart;
    EXPECT_NE(conn.committed[0].find(std::string("'") + c.mode + "'"), std::string::npos)
        << c.line << " " << c.workStart << ": " << conn.committed[0];
  }
}

TEST_F(HistoryStep, EducationLineShapes) {
  struct Case {
    const char* cell;
    const char* stored;  // the date stored, or "" for none
    const char* report;  // the error-pane line, or "" for none
  } cases[] = {
      {"1850.07大学", "1900-07-1", ""},
      {"2350.07大学", "2100-07-1", ""},
      {"1993.00大学", "1993-01-1", ""},
      {"1993.13大学", "1993-12-1", ""},
      {"1993.7", "", "学历:张三:"},           // month "7" is above "12" as text; no name
      {"1993.1", "", "学历:张三:"},           // month "1" stays (a prefix of "12")
      {"1993年7月大学", "", ""},              // byte 5 is not "."
      {"1993．07大学", "", ""},               // full-width stop
      {" 1993.07大学", "", ""},               // untrimmed: the "." stands at byte 6
      {"1993.07 大学", "", "学历:张三: 大学"},  // the blank is part of the name
      {"1993.07", "", "学历:张三:"},
      {"1993.", "", "学历:张三:"},
      {"1993", "", ""},
      {"19x3.07大学", "", ""},                // refused date: dropped without a message
      {"\n\n", "", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    reset();
    education(c.cell);
    expectOneLineOutcome(c.cell, c.stored, c.report);
  }
}

TEST_F(HistoryStep, EducationMonthTextLimits) {
  // Without a name the line is only reported, so the dates are checked on the
  // shared line reader.
  EXPECT_EQ(readDatedLine("1993.7", 20)->date, "1993-12-1");
  EXPECT_EQ(readDatedLine("1993.1", 20)->date, "1993-1-1");
  EXPECT_EQ(readDatedLine("1993.", 20)->date, "1993-01-1");
  EXPECT_EQ(readDatedLine("19x3.07", 20)->date, "19x3-07-1");
  EXPECT_EQ(readDatedLine("abcd.ef", 20)->date, "2100-12-1");
  EXPECT_FALSE(readDatedLine("1993", 20));
  EXPECT_FALSE(readDatedLine("1993,07", 20));
}

TEST_F(HistoryStep, EducationNameIsCutTo20Bytes) {
  education("1993.07一二三四五六七八九十十一");
  ASSERT_EQ(frontend.errorLinesGbk.size(), 1u);
  EXPECT_EQ(frontend.errorLinesGbk[0], G("学历:张三:一二三四五六七八九十"));

  reset();
  codes.set(G("一二三四五六七八九十"), "55");
  education("1993.07一二三四五六七八九十十一");
  EXPECT_EQ(conn.committed.size(), 1u);

  // A cut through a four-byte character drops it; the name is shown as cut.
  reset();
  education("1993.07一二三四五六七八九𬌗");
  EXPECT_EQ(frontend.errorLinesGbk[0], G("学历:张三:一二三四五六七八九"));
  reset();
  education("1993.07a一二三四五六七八𬌗");  // 17 name bytes before it: 𬌗 would end at the 21st
  EXPECT_EQ(frontend.errorLinesGbk[0], G("学历:张三:a一二三四五六七八"));
}

// The years go in with the rows dated like the last full-time line; only
// where the dialect cannot tell the days apart does the update follow.
TEST_F(HistoryStep, EducationYearsGoOntoTheLastFullTimeLine) {
  const std::string plain = "insert into ryxl (mid,xxxs,xlrq,xldm) values (57,";
  const std::string withYears = "insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values (57,";
  struct Row {
    const char* name;
    const char* cell;
    const char* workStart;
    int32_t years;
    Lines writes;
  } rows[] = {
      {"the last full-time line, not the latest date",
       "1993.07大学\n1990.07中专",
       "1993-08-01",
       4,
       {plain + "'全日制','1993-07-1','21')", withYears + "'全日制','1990-07-1','41',4)"}},
      {"duplicated dates both take the years",
       "1990.07中专\n1990.07大学",
       "1993-08-01",
       2,
       {withYears + "'全日制','1990-07-1','41',2)", withYears + "'全日制','1990-07-1','21',2)"}},
      {"one day written two ways",
       "1993.01中专\n1993.1",
       "1993-12-01",
       5,
       {withYears + "'全日制','1993-01-1','41',5)"}},
      {"a full-time line without a code still decides the date",
       "1990.07中专\n1992.07研究生",
       "1993-08-01",
       2,
       {plain + "'全日制','1990-07-1','41')"}},
      {"no years", "1990.07中专", "1993-08-01", 0, {plain + "'全日制','1990-07-1','41')"}},
      {"no full-time line", "2001.07大学", "1993-08-01", 3, {plain + "'在职','2001-07-1','21')"}},
      {"a negative figure is still written",
       "1990.07中专",
       "1993-08-01",
       -1,
       {withYears + "'全日制','1990-07-1','41',-1)"}},
      {"a date only the database reads",
       "1990.07中专\n1993.1 大学",
       "1993-12-01",
       3,
       {plain + "'全日制','1990-07-1','41')", plain + "'全日制','1993-1 -1','21')",
        "update ryxl set dzysxl=3 where mid=57 and xlrq=#1993-1 -1#"}},
  };
  for (const Row& r : rows) {
    reset();
    education(r.cell, r.workStart, r.years);
    EXPECT_EQ(conn.committed, r.writes) << r.name;
  }
}

TEST_F(HistoryStep, RefusedStatementIsDroppedAloneAndTheRestGoesOn) {
  conn.refuseContaining = "'1990-07-1'";
  HistoryCounts n = education("1990.07中专\n1993.07大学", "1993-08-01", 3);
  EXPECT_EQ(conn.committed,
            Lines{"insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values (57,'全日制','1993-07-1','21',3)"});
  EXPECT_EQ(n.stored, 1);
  EXPECT_TRUE(frontend.events.empty());
}

// A row refused with the years and accepted without them is stored, and the
// update after the rows leaves the years to the database, as before.
TEST_F(HistoryStep, RowRefusedWithTheYearsIsStoredWithoutThem) {
  conn.refuseContaining = "',3)";
  HistoryCounts n = education("1990.07中专\n1993.07大学", "1993-08-01", 3);
  EXPECT_EQ(conn.committed, (Lines{
                                "insert into ryxl (mid,xxxs,xlrq,xldm) values (57,'全日制','1990-07-1','41')",
                                "insert into ryxl (mid,xxxs,xlrq,xldm) values (57,'全日制','1993-07-1','21')",
                                "update ryxl set dzysxl=3 where mid=57 and xlrq=#1993-07-1#",
                            }));
  EXPECT_EQ(n.stored, 2);
}

TEST_F(HistoryStep, PositionWorkedExample) {
  HistoryCounts n = position("1998.07 科员\n2003.10副科\n\n2006年科长");
  EXPECT_EQ(conn.committed, Lines{"insert into ryrz (mid,rzrq,rzzwdm,gzzwdm ) values (57,'1998-07-1','31','31')"});
  EXPECT_EQ(frontend.events, Lines{"error: 职务:张三:副科"});
  EXPECT_EQ(n.stored, 1);
  EXPECT_EQ(n.reported, 1);
}

TEST_F(HistoryStep, PositionLineShapes) {
  struct Case {
    const char* cell;
    const char* stored;
    const char* report;
  } cases[] = {
      {"1998.07科员", "1998-07-1", ""},
      {" \t1998.07科员 ", "1998-07-1", ""},  // the first trim makes the line usable
      {"1850.07科员", "1900-07-1", ""},
      {"2350.07科员", "2100-07-1", ""},
      {"1998.00科员", "1998-01-1", ""},
      {"1998.13科员", "1998-12-1", ""},
      {"1998.07", "", "职务:张三:"},
      {"1998年7月科员", "", ""},
      {"1998．07科员", "", ""},
      {"1998.07　科员", "", "职务:张三:　科员"},  // the full-width blank is not trimmed
      {"   ", "", ""},
  };
  for (const auto& c : cases) {
    reset();
    position(c.cell);
    expectOneLineOutcome(c.cell, c.stored, c.report);
  }
}

TEST_F(HistoryStep, PositionMonthCutInsideACharacter) {
  // Byte 7 is the first byte of 科: the month text becomes 12 and the name
  // starts in the middle of a character, so it has no code.
  position("1998.7科员");
  EXPECT_TRUE(conn.committed.empty());
  ASSERT_EQ(frontend.errorLinesGbk.size(), 1u);
  const std::string ke = G("科员");
  EXPECT_EQ(frontend.errorLinesGbk[0], G("职务:张三:") + ke.substr(1));
}

TEST_F(HistoryStep, PositionNameIsCutTo40BytesThenTrimmed) {
  // 39 blanks, then 科 straddling byte 47: the cut drops it rather than keep half of it.
  position("1998.07" + std::string(39, ' ') + "科员");
  ASSERT_EQ(frontend.errorLinesGbk.size(), 1u);
  EXPECT_EQ(frontend.errorLinesGbk[0], G("职务:张三:"));

  // A four-byte character ending at byte 47 stays; one beyond it goes.
  reset();
  position("1998.07" + std::string(36, ' ') + "𬌗员");
  EXPECT_EQ(frontend.errorLinesGbk[0], G("职务:张三:𬌗"));
  reset();
  position("1998.07" + std::string(37, ' ') + "𬌗员");
  EXPECT_EQ(frontend.errorLinesGbk[0], G("职务:张三:"));

  reset();
  position("1998.07" + std::string(38, ' ') + "科员");
  EXPECT_EQ(frontend.errorLinesGbk[0], G("职务:张三:科"));
}

TEST_F(HistoryStep, AssessmentWorkedExample) {
  HistoryCounts n = assessment("2006优秀\n2007 合格\n2008基本合格\n1899优秀");
  EXPECT_EQ(conn.committed, (Lines{
                                "insert into rykh (mid,khnd,khjg ) values (57,2006,1)",
                                "insert into rykh (mid,khnd,khjg ) values (57,2007,2)",
                            }));
  EXPECT_EQ(frontend.events, Lines{"error: 考核:张三:基本合格"});
  EXPECT_EQ(n.stored, 2);
  EXPECT_EQ(n.reported, 1);
}

TEST_F(HistoryStep, AssessmentLineShapes) {
  struct Case {
    const char* cell;
    const char* stored;  // "year,code" or ""
    const char* report;
  } cases[] = {
      {"2006优秀", "2006,1", ""},
      {"2006 优秀", "2006,1", ""},
      {"  2006优秀\t", "2006,1", ""},
      {"1900优秀", "1900,1", ""},
      {"2100优秀", "2100,1", ""},
      {"1995合格", "1995,2", ""},  // years before 2006 are accepted
      {"1899优秀", "", ""},
      {"2101优秀", "", ""},
      {"06优秀", "", ""},  // "06优" is not a number
      {"2006年优秀", "", "考核:张三:年优秀"},
      {"2006", "", "考核:张三:"},
      {"2006　优秀", "", "考核:张三:　优秀"},
      {"2006称职", "", ""},  // a non-numeric code makes the statement refused: dropped silently
      {"", "", ""},
  };
  for (const auto& c : cases) {
    reset();
    assessment(c.cell);
    if (*c.stored) {
      ASSERT_EQ(conn.committed.size(), 1u) << c.cell;
      EXPECT_EQ(conn.committed[0], std::string("insert into rykh (mid,khnd,khjg ) values (57,") + c.stored + ")")
          << c.cell;
    } else {
      EXPECT_TRUE(conn.committed.empty()) << c.cell;
    }
    EXPECT_EQ(frontend.events, *c.report ? Lines{std::string("error: ") + c.report} : Lines{}) << c.cell;
  }
}

TEST_F(HistoryStep, AssessmentResultIsCutTo40BytesBeforeTrimming) {
  assessment("2006" + std::string(39, ' ') + "优秀");
  ASSERT_EQ(frontend.errorLinesGbk.size(), 1u);
  EXPECT_EQ(frontend.errorLinesGbk[0], G("考核:张三:"));  // 优 straddled the cut and is dropped whole
  reset();
  assessment("2006𬌗优秀");  // a result name starting with a four-byte character
  EXPECT_EQ(frontend.errorLinesGbk[0], G("考核:张三:𬌗优秀"));
}

TEST_F(HistoryStep, MissingColumnsGiveNoLines) {
  book = fakeWorkbook(std::vector<std::vector<Cell>>{{"姓名"}, {"张三"}});
  map.clear();
  EXPECT_EQ(ReadColumnTitles(*book, map), 0);
  columns = SheetColumns::resolve(map);
  ImportEducationHistory(ctx(), 2, 57, G("张三"), "1993-08-01", 3);
  ImportPositionHistory(ctx(), 2, 57, G("张三"));
  ImportAssessmentHistory(ctx(), 2, 57, G("张三"));
  EXPECT_TRUE(conn.committed.empty());
  EXPECT_TRUE(frontend.events.empty());
}

}  // namespace
}  // namespace gz::imp
