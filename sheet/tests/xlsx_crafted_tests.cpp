// Packages built in the test: the structures real files use less often.
#include <gtest/gtest.h>

#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/workbook.h"
#include "text/gb18030.h"
#include "xlsx_test_package.h"

namespace gz::sheet {
namespace {

using testing::Bytes;
using testing::makeZip;
using testing::minimalParts;
using testing::readXlsxBytes;
using testing::worksheetXml;
using testing::xlsxError;

std::unique_ptr<Workbook> withSheetData(const std::string& sheetData) {
  return readXlsxBytes(makeZip(minimalParts(sheetData)));
}

TEST(XlsxCrafted, RowsAndCellsWithoutReferencesFollowOnFromTheLastOne) {
  auto book = withSheetData(
      "<row><c><v>1</v></c><c><v>2</v></c></row>"     // row 1: A1 B1
      "<row r=\"4\"><c r=\"C4\"><v>3</v></c><c><v>4</v></c></row>"  // D4 after C4
      "<row><c/><c t=\"inlineStr\"><is><t>x</t></is></c></row>");  // row 5: B5
  EXPECT_EQ(cellText(book->value(1, 1)), "1");
  EXPECT_EQ(cellText(book->value(1, 2)), "2");
  EXPECT_EQ(cellText(book->value(4, 3)), "3");
  EXPECT_EQ(cellText(book->value(4, 4)), "4");
  EXPECT_EQ(book->value(5, 1).kind, CellKind::Empty);
  EXPECT_EQ(cellText(book->value(5, 2)), "x");
  EXPECT_EQ(book->sheet().lastRow(), 5u);
}

TEST(XlsxCrafted, CellTypes) {
  auto book = withSheetData(
      "<row r=\"1\">"
      "<c r=\"A1\" t=\"b\"><v>1</v></c><c r=\"B1\" t=\"b\"><v>0</v></c>"
      "<c r=\"C1\" t=\"e\"><v>#DIV/0!</v></c><c r=\"D1\" t=\"e\"><f>X()</f><v>#SPILL!</v></c>"
      "<c r=\"E1\" t=\"str\"><f>\"\"</f><v></v></c><c r=\"F1\" t=\"str\"><f>A1</f><v>a_x000D__x000A_b</v></c>"
      "<c r=\"G1\" t=\"d\"><v>1965-03-01T12:00:00Z</v></c><c r=\"H1\" t=\"d\"><v>someday</v></c>"
      "<c r=\"I1\"><v> 1.5E3 </v></c><c r=\"J1\" t=\"n\"><v>+2</v></c><c r=\"K1\"><f>1/0</f></c>"
      "<c r=\"L1\" t=\"inlineStr\"><is><r><t>A</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\"> B</t></r>"
      "<rPh sb=\"0\" eb=\"1\"><t>P</t></rPh></is></c>"
      "</row>");
  EXPECT_EQ(book->value(1, 1).kind, CellKind::Boolean);
  EXPECT_EQ(cellText(book->value(1, 1)), "TRUE");
  EXPECT_EQ(cellText(book->value(1, 2)), "FALSE");
  EXPECT_EQ(cellText(book->value(1, 3)), "#DIV/0!");
  EXPECT_EQ(book->value(1, 4).kind, CellKind::Error);  // an error without a name here is still an error
  EXPECT_EQ(book->value(1, 5).kind, CellKind::Text);   // a formula giving the empty text
  EXPECT_EQ(cellText(book->value(1, 6)), "a\r\nb");
  EXPECT_EQ(cellText(book->value(1, 7)), "1965-3-1 12:00:00");
  EXPECT_EQ(cellText(book->value(1, 8)), "someday");  // unreadable date text is kept as text
  EXPECT_EQ(cellText(book->value(1, 9)), "1500");
  EXPECT_EQ(cellText(book->value(1, 10)), "2");
  EXPECT_EQ(book->value(1, 11).kind, CellKind::Empty);  // formula without a cached result
  EXPECT_EQ(cellText(book->value(1, 12)), "A B");
}

TEST(XlsxCrafted, SharedStringsAndStylesDecideTextAndDates) {
  auto parts = minimalParts(
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
      "<c r=\"C1\" s=\"1\"><v>23802</v></c><c r=\"D1\" s=\"2\"><v>23802</v></c>"
      "<c r=\"E1\" s=\"3\"><v>23802</v></c><c r=\"F1\" s=\"9\"><v>23802</v></c></row>");
  parts["xl/sharedStrings.xml"] =
      "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">\n"
      "  <si>\n    <t>\xE5\xBC\xA0_x005F_x000D_</t>\n  </si>\n"
      "  <si><r><t>a</t></r><rPh><r><t>ignored</t></r></rPh><r><t>b</t></r><phoneticPr fontId=\"1\"/></si>\n"
      "</sst>";
  parts["xl/styles.xml"] =
      "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<numFmts><numFmt numFmtId=\"164\" formatCode=\"[DBNum1]0\"/><numFmt numFmtId=\"14\" formatCode=\"0.0\"/>"
      "</numFmts><cellStyleXfs><xf numFmtId=\"22\"/></cellStyleXfs>"
      "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"31\"/><xf numFmtId=\"164\"/><xf numFmtId=\"14\"/></cellXfs>"
      "<dxfs><dxf><numFmt numFmtId=\"164\" formatCode=\"yyyy\"/></dxf></dxfs>"  // conditional: not the cell's format
      "</styleSheet>";
  auto book = readXlsxBytes(makeZip(parts));
  EXPECT_EQ(cellText(book->value(1, 1)), text::utf8ToGb18030("张_x000D_"));
  EXPECT_EQ(cellText(book->value(1, 2)), "ab");
  EXPECT_EQ(cellText(book->value(1, 3)), "1965-3-1");  // built-in CJK date format 31
  EXPECT_EQ(cellText(book->value(1, 4)), "23802");     // Chinese numerals are not a date
  EXPECT_EQ(cellText(book->value(1, 5)), "23802");     // the workbook's own code for id 14 wins
  EXPECT_EQ(cellText(book->value(1, 6)), "23802");     // style index beyond the table
}

TEST(XlsxCrafted, WorkbookFoundThroughRelationshipsWherever) {
  const std::string rel = "http://purl.oclc.org/ooxml/officeDocument/relationships/";
  const Bytes bytes = makeZip({
      {"_rels/.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"a\" Type=\"" +
           rel + "officeDocument\" Target=\"/Book/Main.xml\"/></Relationships>"},
      {"Book/Main.xml",
       "<x:workbook xmlns:x=\"http://purl.oclc.org/ooxml/spreadsheetml/main\" xmlns:q=\"" +
           rel.substr(0, rel.size() - 1) +
           "\"><x:workbookPr date1904=\"true\"/><x:bookViews><x:workbookView activeTab=\"1\"/>"
           "<x:workbookView activeTab=\"0\"/></x:bookViews><x:sheets>"
           "<x:sheet name=\"One\" sheetId=\"1\" q:id=\"s1\"/><x:sheet name=\"Two\" sheetId=\"2\" q:id=\"s2\"/>"
           "</x:sheets></x:workbook>"},
      {"Book/_rels/Main.xml.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"s1\" Type=\"" +
           rel +
           "worksheet\" Target=\"../Sheets/one.xml\"/>"
           "<Relationship Id=\"s2\" Type=\"" +
           rel +
           "worksheet\" Target=\"/sheets/TWO.xml\"/>"
           "<Relationship Id=\"st\" Type=\"" +
           rel +
           "styles\" Target=\"s.xml\"/>"
           "<Relationship Id=\"x\" Type=\"" +
           rel +
           "hyperlink\" Target=\"http://example.com/\" TargetMode=\"External\"/>"
           "</Relationships>"},
      {"Book/s.xml",
       "<styleSheet xmlns=\"http://purl.oclc.org/ooxml/spreadsheetml/main\"><cellXfs><xf numFmtId=\"0\"/>"
       "<xf numFmtId=\"14\"/></cellXfs></styleSheet>"},
      {"Sheets/one.xml", worksheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")},
      {"Sheets/two.xml", worksheetXml("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>22340</v></c></row>")},
  });
  auto book = readXlsxBytes(bytes);
  EXPECT_EQ(book->sheetName(), "Two");
  EXPECT_EQ(cellText(book->value(1, 1)), "1965-3-1");  // 1904 system: 22340 + 1462
}

TEST(XlsxCrafted, LaterCellAtTheSamePlaceWins) {
  auto book = withSheetData("<row r=\"2\"><c r=\"B2\"><v>1</v></c><c r=\"B2\"><v>2</v></c></row>");
  EXPECT_EQ(cellText(book->value(2, 2)), "2");
  EXPECT_EQ(book->sheet().cellCount(), 1u);
}

TEST(XlsxCrafted, LimitsOfTheSheetAreAcceptedExactly) {
  auto book = withSheetData("<row r=\"1048576\"><c r=\"XFD1048576\"><v>7</v></c></row>");
  EXPECT_EQ(cellText(book->value(1048576, 16384)), "7");
  EXPECT_NE(xlsxError(makeZip(minimalParts("<row r=\"1048577\"><c><v>1</v></c></row>"))), "");
  EXPECT_NE(xlsxError(makeZip(minimalParts("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"))), "");
  EXPECT_NE(xlsxError(makeZip(minimalParts("<row r=\"1\"><c r=\"A0\"><v>1</v></c></row>"))), "");
}

}  // namespace
}  // namespace gz::sheet
