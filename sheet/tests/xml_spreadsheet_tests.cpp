// XML Spreadsheet 2003 written in the test, as Excel and web systems write it.
#include <gtest/gtest.h>

#include "form_test_support.h"
#include "sheet/model/workbook.h"
#include "sheet/text_forms/text_form_readers.h"

namespace gz::sheet {
namespace {

using namespace testing;

std::string workbook(const std::string& inside, const std::string& declaration = "<?xml version=\"1.0\"?>") {
  return declaration +
         "<?mso-application progid=\"Excel.Sheet\"?>\n"
         "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
         "xmlns:o=\"urn:schemas-microsoft-com:office:office\"\n"
         " xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
         "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"\n"
         " xmlns:html=\"http://www.w3.org/TR/REC-html40\">\n" +
         inside + "</Workbook>";
}

std::string sheet(const std::string& name, const std::string& rows) {
  return "<Worksheet ss:Name=\"" + name + "\"><Table>" + rows +
         "</Table><WorksheetOptions xmlns=\"urn:schemas-microsoft-com:office:excel\"/></Worksheet>\n";
}

std::unique_ptr<Workbook> read(const std::string& xml) { return readText(readXmlSpreadsheet, xml); }

TEST(XmlSpreadsheet, TheActiveSheetAsExcelRecordsIt) {
  const std::string sheets = sheet("封面", "<Row><Cell><Data ss:Type=\"String\">cover</Data></Cell></Row>") +
                             sheet("人员", "<Row><Cell><Data ss:Type=\"String\">姓名</Data></Cell></Row>") +
                             sheet("其他", "<Row><Cell><Data ss:Type=\"String\">other</Data></Cell></Row>");
  auto active = [](const char* n) {
    return "<ExcelWorkbook xmlns=\"urn:schemas-microsoft-com:office:excel\"><ActiveSheet>" + std::string(n) +
           "</ActiveSheet></ExcelWorkbook>";
  };
  const auto second = read(workbook(active("1") + sheets));
  EXPECT_EQ(utf8(second->sheetName()), "人员");
  EXPECT_EQ(shown(*second, 1, 1), "姓名");
  EXPECT_EQ(second->notice(), "");
  EXPECT_EQ(utf8(read(workbook(sheets))->sheetName()), "封面");  // none written: the first
  const auto missing = read(workbook(active("7") + sheets));
  EXPECT_EQ(utf8(missing->sheetName()), "封面");
  EXPECT_EQ(utf8(missing->notice()), "工作簿未指明有效的活动工作表，改为读取第一张工作表“封面”");
}

TEST(XmlSpreadsheet, PlacesTypesAndStyles) {
  const std::string styles =
      "<Styles><Style ss:ID=\"Default\" ss:Name=\"Normal\"><NumberFormat/></Style>"
      "<Style ss:ID=\"d\"><NumberFormat ss:Format=\"yyyy\\-mm\\-dd\"/></Style>"
      "<Style ss:ID=\"child\" ss:Parent=\"d\"><Font ss:Bold=\"1\"/></Style>"
      "<Style ss:ID=\"fixed\"><NumberFormat ss:Format=\"Fixed\"/></Style>"
      "<Style ss:ID=\"short\"><NumberFormat ss:Format=\"Short Date\"/></Style></Styles>";
  const auto book = read(workbook(
      styles +
      sheet("S",
            "<Row><Cell><Data ss:Type=\"Number\">3.06</Data></Cell><Cell ss:Index=\"4\"><Data "
            "ss:Type=\"String\">D1</Data></Cell>"
            "<Cell ss:MergeAcross=\"2\"><Data ss:Type=\"String\">E1 to G1</Data></Cell><Cell><Data "
            "ss:Type=\"Number\">8</Data></Cell></Row>"
            "<Row ss:Index=\"3\"><Cell ss:StyleID=\"d\"><Data ss:Type=\"Number\">23802</Data></Cell>"
            "<Cell ss:StyleID=\"child\"><Data ss:Type=\"Number\">23802</Data></Cell>"
            "<Cell ss:StyleID=\"fixed\"><Data ss:Type=\"Number\">23802</Data></Cell>"
            "<Cell ss:StyleID=\"short\"><Data ss:Type=\"Number\">23802</Data></Cell></Row>"
            "<Row ss:Span=\"2\"/>"
            "<Row><Cell><Data ss:Type=\"DateTime\">1965-03-01T00:00:00.000</Data></Cell>"
            "<Cell><Data ss:Type=\"DateTime\">1899-12-31T08:30:00.000</Data></Cell>"
            "<Cell><Data ss:Type=\"Boolean\">1</Data></Cell><Cell><Data ss:Type=\"Error\">#N/A</Data></Cell>"
            "<Cell ss:Formula=\"=1/0\"><Data ss:Type=\"Error\">#DIV/0!</Data></Cell>"
            "<Cell><Data ss:Type=\"Number\">12a</Data></Cell><Cell/><Cell><Data ss:Type=\"String\"></Data></Cell></Row>"
            "<Row><Cell><Data ss:Type=\"String\">第一行&#10;第二行</Data>"
            "<Comment ss:Author=\"x\"><ss:Data><B>不读批注</B></ss:Data></Comment></Cell>"
            "<Cell><ss:Data ss:Type=\"String\" "
            "xmlns=\"http://www.w3.org/TR/REC-html40\"><B>粗</B><Font>体</Font></ss:Data></Cell>"
            "<Cell><Data ss:Type=\"String\">110105196503011234</Data></Cell></Row>")));
  EXPECT_EQ(shown(*book, 1, 1), "3.06");
  EXPECT_EQ(shown(*book, 1, 4), "D1");
  EXPECT_EQ(shown(*book, 1, 5), "E1 to G1");
  EXPECT_EQ(book->value(1, 6).kind, CellKind::Empty);  // covered by the merge
  EXPECT_EQ(shown(*book, 1, 8), "8");
  EXPECT_EQ(shown(*book, 3, 1), "1965-3-1");
  EXPECT_EQ(shown(*book, 3, 2), "1965-3-1");  // the parent's format
  EXPECT_EQ(shown(*book, 3, 3), "23802");     // "Fixed" is a name, not a code with a "d"
  EXPECT_EQ(shown(*book, 3, 4), "1965-3-1");
  // Row 4 repeats twice more (rows 4 to 6), so the next row is 7.
  EXPECT_EQ(cellDate(book->value(7, 1)), 23802);
  EXPECT_TRUE(book->value(7, 2).isDate);
  EXPECT_NEAR(book->value(7, 2).number, 8.5 / 24, 1e-12);  // a time alone is on day 0
  EXPECT_EQ(shown(*book, 7, 3), "TRUE");
  EXPECT_EQ(shown(*book, 7, 4), "#N/A");
  EXPECT_EQ(shown(*book, 7, 5), "#DIV/0!");
  EXPECT_EQ(shown(*book, 7, 6), "12a");  // a number that is none: kept as written
  EXPECT_EQ(book->value(7, 7).kind, CellKind::Empty);
  EXPECT_EQ(book->value(7, 8).kind, CellKind::Text);
  EXPECT_EQ(shown(*book, 8, 1), "第一行\n第二行");
  EXPECT_EQ(shown(*book, 8, 2), "粗体");
  EXPECT_EQ(book->value(8, 3).kind, CellKind::Text);
  EXPECT_EQ(book->sheet().lastRow(), 8u);
}

TEST(XmlSpreadsheet, DeclaredGb2312HoldingGbkCharactersReads) {
  // 朱镕基: 镕 is GBK, not GB 2312.
  const std::string xml = gb(workbook(sheet("表", "<Row><Cell><Data ss:Type=\"String\">朱镕基</Data></Cell></Row>"),
                                      "<?xml version=\"1.0\" encoding=\"gb2312\"?>"));
  const auto book = read(xml);
  EXPECT_EQ(shown(*book, 1, 1), "朱镕基");
  EXPECT_FALSE(book->value(1, 1).unreadable);
  // A byte that is no character marks its cell, not the file.
  std::string damaged = xml;
  damaged.replace(damaged.find(gb("镕")), 2, "\xFF\x20");
  const auto marked = read(damaged);
  EXPECT_TRUE(marked->value(1, 1).unreadable);
}

TEST(XmlSpreadsheet, OtherDocumentsAreRefused) {
  EXPECT_EQ(
      refusalOf(readXmlSpreadsheet, "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet>")
          ->fault,
      WorkbookFault::Damaged);
  EXPECT_EQ(refusalOf(readXmlSpreadsheet, workbook(""))->fault, WorkbookFault::Damaged);  // no worksheet
  EXPECT_EQ(refusalOf(readXmlSpreadsheet, "<note/>")->fault, WorkbookFault::NotAWorkbook);
  EXPECT_EQ(refusalOf(readXmlSpreadsheet, "<!DOCTYPE x [<!ENTITY a \"aaaa\">]><Workbook/>")->fault,
            WorkbookFault::Damaged);
}

}  // namespace
}  // namespace gz::sheet
