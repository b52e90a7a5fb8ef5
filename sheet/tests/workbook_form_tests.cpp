// The form of a workbook comes from its bytes.
#include "sheet/model/workbook.h"
#include "sheet/workbook_form.h"

#include <gtest/gtest.h>

#include <string>

#include "xlsx_test_package.h"

namespace gz::sheet {
namespace {

WorkbookForm formOf(const std::string& bytes) {
  return detectForm(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}
WorkbookForm formOf(const testing::Bytes& bytes) { return detectForm(bytes.data(), bytes.size()); }

TEST(WorkbookForm, TextAndRecordFormsByTheirFirstBytes) {
  const struct {
    const char* what;
    std::string bytes;
    WorkbookForm form;
  } cases[] = {
      {"XML Spreadsheet",
       "<?xml version=\"1.0\"?>\n<?mso-application progid=\"Excel.Sheet\"?>\n"
       "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet/></Workbook>",
       WorkbookForm::XmlSpreadsheet},
      {"XML Spreadsheet with a prefix", "<ss:Workbook xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"/>",
       WorkbookForm::XmlSpreadsheet},
      {"flat OpenDocument",
       "\xEF\xBB\xBF<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\"/>",
       WorkbookForm::FlatOpenDocument},
      {"a page with a table", "<html><head><meta charset=gb2312></head><body><table><tr><td>1</td></tr></table>",
       WorkbookForm::HtmlPage},
      {"a page that is no XML", "\r\n  <TABLE border=1><TR><TD>a<TD>b</TABLE>", WorkbookForm::HtmlPage},
      {"XHTML with a table", "<!DOCTYPE html><html xmlns=\"http://www.w3.org/1999/xhtml\"><body><table/></body></html>",
       WorkbookForm::HtmlPage},
      {"a page without a table", "<html><body><p>no table here</p></body></html>", WorkbookForm::Unknown},
      {"other XML", "<?xml version=\"1.0\"?><note>x</note>", WorkbookForm::Unknown},
      {"CSV", "姓名,出生年月\n张三,1965.03\n", WorkbookForm::DelimitedText},
      {"tab-separated", "a\tb\n", WorkbookForm::DelimitedText},
      {"semicolons", "a;b\r\n1;2", WorkbookForm::DelimitedText},
      {"a quoted title with a line break", "\"a\nb\",c\n", WorkbookForm::DelimitedText},
      {"UTF-16 text",
       std::string("\xFF\xFE"
                   "a\0\t\0b\0\r\0\n\0",
                   12),
       WorkbookForm::DelimitedText},
      {"UTF-16 big-endian text", std::string("\xFE\xFF\0a\0,\0b", 8), WorkbookForm::DelimitedText},
      {"UTF-16 page", std::string("\xFF\xFE<\0t\0a\0b\0l\0e\0>\0", 16), WorkbookForm::HtmlPage},
      {"one column of text", "hello\nworld\n", WorkbookForm::Unknown},
      {"text with control bytes", std::string("a,b\n\x01\x02,c", 8), WorkbookForm::Unknown},
      {"text with a NUL", std::string("a,b\0", 4), WorkbookForm::Unknown},
      {"empty", "", WorkbookForm::Unknown},
      {"BIFF2", std::string("\x09\x00\x04\x00\x02\x00\x10\x00", 8), WorkbookForm::OldBiffStream},
      {"BIFF3", std::string("\x09\x02\x06\x00\x00\x00\x10\x00\x00\x00", 10), WorkbookForm::OldBiffStream},
      {"BIFF4", std::string("\x09\x04\x06\x00\x00\x00\x10\x00\x00\x00", 10), WorkbookForm::OldBiffStream},
      {"BIFF8 stream", std::string("\x09\x08\x10\x00\x00\x06\x05\x00", 8) + std::string(12, '\0'),
       WorkbookForm::BiffStream},
      {"a BOF id with an impossible length", std::string("\x09\x08\xFF\x7F\x00\x06\x05\x00", 8), WorkbookForm::Unknown},
      {"compound file", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'),
       WorkbookForm::CompoundFile},
      {"a damaged zip", std::string("PK\x03\x04\x14\x00", 6), WorkbookForm::OfficeOpenXml},
  };
  for (const auto& c : cases) EXPECT_EQ(formOf(c.bytes), c.form) << c.what;
}

TEST(WorkbookForm, ZipPackagesByTheirParts) {
  EXPECT_EQ(formOf(testing::makeZip(testing::minimalParts("<row r=\"1\"/>"))), WorkbookForm::OfficeOpenXml);
  EXPECT_EQ(formOf(testing::makeZip(
                {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", "<x/>"}})),
            WorkbookForm::OpenDocument);
  EXPECT_EQ(formOf(testing::makeZip({{"content.xml", "<x/>"}, {"styles.xml", "<x/>"}})), WorkbookForm::OpenDocument);
  // A text document is an OpenDocument too; its reader says it is no workbook.
  EXPECT_EQ(
      formOf(testing::makeZip({{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", "<x/>"}})),
      WorkbookForm::OpenDocument);
}

TEST(WorkbookForm, FilePatternsNameEveryForm) {
  const std::vector<std::string>& p = workbookFilePatterns();
  for (const char* ext :
       {"*.xls", "*.xlsx", "*.xlsm", "*.et", "*.ett", "*.ods", "*.fods", "*.xml", "*.htm", "*.html", "*.csv", "*.txt"})
    EXPECT_NE(std::find(p.begin(), p.end(), ext), p.end()) << ext;
}

}  // namespace
}  // namespace gz::sheet
