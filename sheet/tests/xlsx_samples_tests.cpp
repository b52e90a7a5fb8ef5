// Real workbooks (testdata/sheet/xlsx/ORIGINS.md) and the generated ones
// (tools/make_test_xlsx.py): the values that matter, as the file holds them.
#include <gtest/gtest.h>

#include <string>

#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/dates.h"
#include "sheet/model/workbook.h"
#include "text/gb18030.h"
#include "xlsx_test_package.h"

namespace gz::sheet {
namespace {

using testing::readFile;
using testing::readXlsxBytes;

std::unique_ptr<Workbook> sample(const std::string& file) {
  return readXlsxBytes(readFile(std::string(GZ_TEST_DATA) + "/sheet/xlsx/" + file));
}

std::string textAt(const Workbook& b, uint32_t row, uint32_t col) { return cellText(b.value(row, col)); }
std::string gbk(const char* utf8) { return text::utf8ToGb18030(utf8); }

TEST(XlsxSamples, DatesInBothSystemsAndIsoText) {
  auto book = sample("calamine_date.xlsx");
  EXPECT_TRUE(book->value(1, 1).isDate);
  EXPECT_EQ(textAt(*book, 1, 1), "2021-1-1");
  EXPECT_EQ(textAt(*book, 1, 2), "15");
  EXPECT_FALSE(book->value(1, 2).isDate);
  EXPECT_EQ(textAt(*book, 3, 1), "1900-1-9 15:10:10");  // 10.632 days under a date format

  auto mac = sample("calamine_date_1904.xlsx");
  EXPECT_EQ(isoDateText(*cellDate(mac->value(1, 1))), "2021-01-01");
  EXPECT_EQ(textAt(*mac, 2, 1), "2021-1-2");
  EXPECT_EQ(textAt(*mac, 1, 2), "15");  // plain numbers are not shifted

  auto iso = sample("calamine_date_iso.xlsx");
  EXPECT_EQ(textAt(*iso, 1, 1), "2021-1-1");
  EXPECT_EQ(textAt(*iso, 2, 1), "2021-1-1 10:10:10");
  EXPECT_TRUE(iso->value(3, 1).isDate);
  EXPECT_NEAR(iso->value(3, 1).number, (10 * 3600 + 10 * 60 + 10) / 86400.0, 1e-9);
  EXPECT_EQ(iso->value(4, 1).text, "This workbook contains datetime in ISO 8601");
}

TEST(XlsxSamples, ManyDateFormatsIn1904Workbook) {
  auto book = sample("poi_DateFormatTests.xlsx");
  EXPECT_EQ(book->sheetName(), "Tests");
  EXPECT_EQ(textAt(*book, 1, 3), "Value");
  for (uint32_t row = 2; row <= 9; ++row) EXPECT_EQ(textAt(*book, row, 3), "1952-10-11 14:35:27") << row;
}

TEST(XlsxSamples, ActiveSheetIsTheOneTheWorkbookOpensWith) {
  EXPECT_EQ(sample("calamine_issue127.xlsx")->sheetName(), "Sheet8");
  auto hidden = sample("poi_TwoSheetsOneHidden.xlsx");
  EXPECT_EQ(hidden->sheetName(), "Sheet2");
  EXPECT_EQ(textAt(*hidden, 1, 1), "Sheet2A1");
  auto strict = sample("poi_SampleSS.strict.xlsx");
  EXPECT_EQ(strict->sheetName(), "Sheet Number 2");
  EXPECT_EQ(textAt(*strict, 1, 1), "Start of 2nd sheet");
  EXPECT_EQ(textAt(*strict, 6, 4), "cb=sum");
  EXPECT_EQ(textAt(*strict, 7, 4), "13");
  EXPECT_TRUE(strict->notice().empty());
}

TEST(XlsxSamples, StringsRichTextEscapesAndPhonetics) {
  auto rich = sample("calamine_richtext-namespaced.xlsx");
  EXPECT_EQ(textAt(*rich, 1, 1), "inline string\nLine 2\nLine 3");
  EXPECT_EQ(textAt(*rich, 1, 8), "shared string\nLine 2\nLine 3");
  EXPECT_EQ(rich->value(2, 2).kind, CellKind::Empty);  // styled but empty

  EXPECT_EQ(textAt(*sample("calamine_has_x000D_.xlsx"), 1, 1), "ABC\r\nDEF");
  EXPECT_EQ(textAt(*sample("calamine_rph.xlsx"), 1, 1), gbk("課きく　毛こ"));

  auto prefixed = sample("calamine_nonstandard-xml-ns-prefix.xlsx");
  EXPECT_EQ(textAt(*prefixed, 1, 1), "a");
  EXPECT_EQ(textAt(*prefixed, 3, 2), "4");
}

TEST(XlsxSamples, FormulaCellsGiveTheirCachedResults) {
  auto book = sample("calamine_formula.issue.xlsx");
  EXPECT_EQ(textAt(*book, 1, 1), "23");
  EXPECT_EQ(textAt(*book, 13, 7), "2");
  EXPECT_EQ(book->value(14, 10).kind, CellKind::Text);
  EXPECT_EQ(textAt(*book, 14, 10), "US");
  EXPECT_EQ(book->sheet().lastRow(), 14u);
}

TEST(XlsxSamples, ChineseSheetWithInlineStringsAndDate) {
  auto book = sample("synthetic_active2_cjk_multiline.xlsx");
  EXPECT_EQ(book->sheetName(), gbk("工资"));
  EXPECT_EQ(textAt(*book, 1, 1), gbk("姓名"));
  EXPECT_EQ(textAt(*book, 2, 1), gbk("张三"));
  EXPECT_EQ(textAt(*book, 2, 2), "2021-3-15");
  EXPECT_EQ(textAt(*book, 2, 3), "3.06");
  EXPECT_EQ(textAt(*book, 2, 4), gbk("第一行\n第二行"));
}

TEST(XlsxGenerated, CellFormsRowByRow) {
  auto book = sample("gen_cell_forms.xlsx");
  EXPECT_EQ(book->sheetName(), gbk("人员"));
  const std::pair<const char*, const char*> rows[] = {
      {"whole", "1"},
      {"decimal", "3.06"},
      {"negative", "-12"},
      {"sum", "0.3"},
      {"date", "1965-3-1"},
      {"datetime", "1965-3-1 8:05:09"},
      {"cjk date", "1993-7-1"},
      {"builtin 14", "2000-2-29"},
      {"elapsed", "1900-1-9 15:10:05"},
      {"dbnum", "12345.5"},
      {"yuan", "12345.5"},
      {"true", "TRUE"},
      {"false", "FALSE"},
      {"text", "张三丰"},
      {"multiline", "第一行\n第二行"},
      {"date text", "1965-3-1"},
      {"error", "#N/A"},
      {"formula", ""},
      {"outside gbk", "A\U0001F600B"},
      {"leading zero", "0102"},
  };
  uint32_t row = 1;
  for (const auto& [name, text] : rows) {
    ASSERT_EQ(textAt(*book, row, 1), name);
    EXPECT_EQ(textAt(*book, row, 2), gbk(text)) << name;
    ++row;
  }
  EXPECT_EQ(book->value(12, 2).kind, CellKind::Boolean);
  EXPECT_EQ(book->value(17, 2).kind, CellKind::Error);
  EXPECT_EQ(book->value(18, 2).kind, CellKind::Empty);
  EXPECT_EQ(book->value(16, 2).kind, CellKind::Text);
  EXPECT_EQ(cellDate(book->value(16, 2)), cellDate(book->value(5, 2)));
  EXPECT_FALSE(cellDate(book->value(14, 2)));
  EXPECT_FALSE(book->value(19, 2).unreadable);
  EXPECT_TRUE(book->notice().empty());
}

TEST(XlsxGenerated, Date1904ShiftsOnlyDates) {
  auto book = sample("gen_date1904.xlsx");
  EXPECT_EQ(textAt(*book, 1, 2), "1965-3-1 12:00:00");
  EXPECT_EQ(book->value(2, 2).number, 100);
  EXPECT_FALSE(book->value(2, 2).isDate);
}

TEST(XlsxGenerated, ChartAsActiveTabFallsBackToFirstWorksheet) {
  auto book = sample("gen_chartsheet_active.xlsx");
  EXPECT_EQ(book->sheetName(), gbk("数据"));
  EXPECT_EQ(textAt(*book, 3, 2), "30");
  EXPECT_NE(book->notice().find(gbk("图表")), std::string::npos);
}

}  // namespace
}  // namespace gz::sheet
