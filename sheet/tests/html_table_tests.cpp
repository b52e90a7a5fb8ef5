// Web pages written in the test, as web systems and sheet programs write them.
#include <gtest/gtest.h>

#include "form_test_support.h"
#include "sheet/model/workbook.h"
#include "sheet/text_forms/text_form_readers.h"

namespace gz::sheet {
namespace {

using namespace testing;

std::unique_ptr<Workbook> page(const std::string& bytes, const std::string& name = "/tmp/名单.xls") {
  return readText(readHtmlTable, bytes, name);
}

TEST(HtmlTable, TheFirstTableWithItsSpansAsMergedCellsShow) {
  const auto book = page(
      "<html><body><p>人员名单</p>"
      "<table border=1><thead><tr><th>姓名</th><th colspan=2>出生</th><th>备注</th></tr></thead>"
      "<tbody><tr><td rowspan=2>张三</td><td>1965</td><td>3</td><td>a</td></tr>"
      "<tr><td>1966</td><td>4</td><td>b</td></tr>"
      "<tr><td>李四<table><tr><td>inner</td></tr></table></td><td>x</td></tr></tbody></table>"
      "<table><tr><td>second table</td></tr></table></body></html>");
  EXPECT_EQ(utf8(book->sheetName()), "名单");
  EXPECT_EQ(shown(*book, 1, 1), "姓名");
  EXPECT_EQ(shown(*book, 1, 2), "出生");
  EXPECT_EQ(book->value(1, 3).kind, CellKind::Empty);
  EXPECT_EQ(shown(*book, 1, 4), "备注");
  EXPECT_EQ(shown(*book, 2, 1), "张三");
  EXPECT_EQ(book->value(3, 1).kind, CellKind::Empty);  // covered by the row span
  EXPECT_EQ(shown(*book, 3, 2), "1966");
  EXPECT_EQ(shown(*book, 3, 4), "b");
  EXPECT_EQ(shown(*book, 4, 1), "李四\ninner");
  EXPECT_EQ(shown(*book, 4, 2), "x");
  EXPECT_EQ(book->sheet().lastRow(), 4u);  // nothing of the second table
}

TEST(HtmlTable, CellTextAsAPageShowsIt) {
  const auto book = page(
      "<table><tr>"
      "<td>abc<br>\n    def</td>"
      "<td>  two   words\n here </td>"
      "<td>&lt;tag&gt; &amp; &#x5F20;&#19977; &nbsp;x&nbsp;</td>"
      "<td><p>one</p><p>two</p></td>"
      "<td><br></td>"
      "<td><script>var x;</script><style>p{}</style>shown<!-- not shown --></td>"
      "<td><font face=宋体><b>粗</b>体</font></td>"
      "</tr></table>");
  EXPECT_EQ(shown(*book, 1, 1), "abc\ndef");
  EXPECT_EQ(shown(*book, 1, 2), "two words here");
  EXPECT_EQ(shown(*book, 1, 3), "<tag> & 张三 x");
  EXPECT_EQ(shown(*book, 1, 4), "one\ntwo");
  EXPECT_EQ(book->value(1, 5).kind, CellKind::Empty);
  EXPECT_EQ(shown(*book, 1, 6), "shown");
  EXPECT_EQ(shown(*book, 1, 7), "粗体");
}

TEST(HtmlTable, TheDeclaredCharacterSetIsHonoured) {
  const std::string body = "<table><tr><td>朱镕基</td><td>王䶮</td></tr></table>";
  const struct {
    const char* what;
    std::string bytes;
    const char* second;  // GBK has no 䶮: such pages cannot hold it
  } cases[] = {
      {"gb2312 holding a GBK character",
       gb("<meta http-equiv=Content-Type content=\"text/html; charset=gb2312\">" +
          std::string("<table><tr><td>朱镕基</td><td>王五</td></tr></table>")),
       "王五"},
      {"GBK", gb("<meta charset=\"GBK\"><table><tr><td>朱镕基</td><td>王五</td></tr></table>"), "王五"},
      {"gb18030", gb("<meta charset=gb18030>" + body), "王䶮"},
      {"UTF-8", "<meta charset=utf-8>" + body, "王䶮"},
      {"UTF-8 by its mark", "\xEF\xBB\xBF" + body, "王䶮"},
      {"undeclared GBK", gb("<table><tr><td>朱镕基</td><td>王五</td></tr></table>"), "王五"},
      {"undeclared UTF-8", body, "王䶮"},
      {"XHTML declaration", gb("<?xml version=\"1.0\" encoding=\"gb18030\"?><html><body>" + body + "</body></html>"),
       "王䶮"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto book = page(c.bytes);
    EXPECT_EQ(shown(*book, 1, 1), "朱镕基");
    EXPECT_EQ(shown(*book, 1, 2), c.second);
    EXPECT_FALSE(book->value(1, 1).unreadable);
  }
  const auto windows = page("<meta charset=windows-1252><table><tr><td>caf\xE9</td></tr></table>");
  EXPECT_EQ(shown(*windows, 1, 1), "caf\u00E9");  // other character sets: libxml2 decodes them
  const auto damaged = page("<meta charset=gbk><table><tr><td>\xD5\xC5\xFF</td><td>ok</td></tr></table>");
  EXPECT_TRUE(damaged->value(1, 1).unreadable);
  EXPECT_FALSE(damaged->value(1, 2).unreadable);
}

TEST(HtmlTable, NumbersAndFormatsOfPagesSavedBySheetPrograms) {
  const auto book = page(
      "<html xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><head><style>\n"
      "<!--td "
      "{mso-number-format:General;}\n.xl65\n\t{mso-style-parent:style0;\n\tmso-number-format:\"yyyy\\/m\\/d\";}\n"
      ".xl66 {mso-number-format:\"\\@\";}\n.text {mso-number-format:'\\@'}\n-->\n</style></head><body><table><tr>"
      "<td>12</td><td>007</td><td>110105196503011234</td><td>1965-3-1</td>"
      "<td class=xl65 x:num=\"23802\">1965/3/1</td><td class=xl65>23802</td>"
      "<td class=\"wide xl66\">12</td><td style=\"mso-number-format:'\\@'\">3.06</td><td class=text>1</td>"
      "<td x:num>5</td><td x:num=\"1234.5\">1,234.50</td><td x:str>12</td>"
      "<td sdval=\"23802\" sdnum=\"2052;0;YYYY-MM-DD\">1965-03-01</td><td sdval=\"1\" "
      "sdnum=\"2052;0;BOOLEAN\">TRUE</td>"
      "<td>#N/A</td><td>FALSE</td></tr></table></body></html>");
  const struct {
    uint32_t col;
    CellKind kind;
    const char* text;
  } cases[] =
      {
          {1, CellKind::Number, "12"},
          {2, CellKind::Text, "007"},
          {3, CellKind::Text, "110105196503011234"},
          {4, CellKind::Number, "1965-3-1"},
          {5, CellKind::Number, "1965-3-1"},   // x:num holds the value, the class a date format
          {6, CellKind::Number, "1965-3-1"},   // a number under a date format
          {7, CellKind::Text, "12"},           // "@" is the text format
          {8, CellKind::Text, "3.06"},
          {9, CellKind::Text, "1"},
          {10, CellKind::Number, "5"},
          {11, CellKind::Number, "1234.5"},
          {12, CellKind::Text, "12"},
          {13, CellKind::Number, "1965-3-1"},
          {14, CellKind::Boolean, "TRUE"},
          {15, CellKind::Error, "#N/A"},
          {16, CellKind::Boolean, "FALSE"},
      };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.col);
    EXPECT_EQ(book->value(1, c.col).kind, c.kind);
    EXPECT_EQ(shown(*book, 1, c.col), c.text);
  }
}

TEST(HtmlTable, APageWithoutATableIsNoWorkbook) {
  const std::optional<Refusal> r = refusalOf(readHtmlTable, "<html><body><p>no table</p></body></html>");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->fault, WorkbookFault::NotAWorkbook);
  EXPECT_EQ(r->reason, "不是Excel工作簿");
}

}  // namespace
}  // namespace gz::sheet
