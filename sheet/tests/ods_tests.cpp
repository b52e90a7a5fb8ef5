// OpenDocument tables written in the test: flat documents, and packages.
#include <gtest/gtest.h>

#include <chrono>

#include "form_test_support.h"
#include "sheet/model/workbook.h"
#include "sheet/ods/ods_reader.h"
#include "xlsx_test_package.h"

namespace gz::sheet {
namespace {

using namespace testing;

const char* const kNamespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\""
    " xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\"";

std::string settings(const std::string& active) {
  return "<office:settings><config:config-item-set config:name=\"ooo:view-settings\">"
         "<config:config-item-map-indexed config:name=\"Views\"><config:config-item-map-entry>"
         "<config:config-item config:name=\"ActiveTable\" config:type=\"string\">" +
         active +
         "</config:config-item></config:config-item-map-entry></config:config-item-map-indexed>"
         "</config:config-item-set></office:settings>";
}

std::string body(const std::string& tables) {
  return "<office:body><office:spreadsheet>" + tables + "</office:spreadsheet></office:body>";
}

std::string flat(const std::string& inside) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document") + kNamespaces +
         " office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">" + inside + "</office:document>";
}

std::string table(const std::string& name, const std::string& rows) {
  return "<table:table table:name=\"" + name + "\"><table:table-column table:number-columns-repeated=\"16384\"/>" +
         rows + "</table:table>";
}

std::string cellP(const std::string& text) {
  return "<table:table-cell office:value-type=\"string\"><text:p>" + text + "</text:p></table:table-cell>";
}

std::unique_ptr<Workbook> readFlat(const std::string& xml) { return readText(readFlatOpenDocument, xml); }

TEST(OpenDocument, TheActiveTableFromTheSettings) {
  const std::string tables = table("封面", "<table:table-row>" + cellP("cover") + "</table:table-row>") +
                             table("人员", "<table:table-row>" + cellP("姓名") + "</table:table-row>");
  const auto second = readFlat(flat(settings("人员") + body(tables)));
  EXPECT_EQ(utf8(second->sheetName()), "人员");
  EXPECT_EQ(shown(*second, 1, 1), "姓名");
  EXPECT_EQ(utf8(readFlat(flat(body(tables)))->sheetName()), "封面");
  const auto missing = readFlat(flat(settings("不存在") + body(tables)));
  EXPECT_EQ(utf8(missing->sheetName()), "封面");
  EXPECT_NE(missing->notice(), "");

  // In a package the settings are a part of their own.
  const std::string content =
      std::string("<office:document-content") + kNamespaces + ">" + body(tables) + "</office:document-content>";
  const std::string settingsPart =
      std::string("<office:document-settings") + kNamespaces + ">" + settings("人员") + "</office:document-settings>";
  const Bytes ods = makeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                             {"content.xml", content},
                             {"settings.xml", settingsPart}});
  const auto packaged = readOpenDocument(ods.data(), ods.size(), "p.ods");
  EXPECT_EQ(utf8(packaged->sheetName()), "人员");
}

TEST(OpenDocument, ValueTypesTextAndRepetition) {
  const std::string rows =
      "<table:table-row>"
      "<table:table-cell office:value-type=\"float\" office:value=\"3.06\"><text:p>3.1</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"percentage\" office:value=\"0.5\"><text:p>50%</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"currency\" office:currency=\"CNY\" office:value=\"-12.5\"/>"
      "<table:table-cell office:value-type=\"date\" office:date-value=\"1965-03-01\"/>"
      "<table:table-cell office:value-type=\"date\" office:date-value=\"2020-02-29T13:45:30\"/>"
      "<table:table-cell office:value-type=\"time\" office:time-value=\"PT08H30M00S\"/>"
      "<table:table-cell office:value-type=\"time\" office:time-value=\"PT36H00M00S\"/>"
      "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/>"
      "<table:table-cell office:value-type=\"string\" calcext:value-type=\"error\" "
      "table:formula=\"of:=NA()\"><text:p>#N/A</text:p></table:table-cell>"
      "<table:table-cell office:value-type=\"string\" office:string-value=\"as attribute\"/>"
      "</table:table-row>"
      "<table:table-row>"
      "<table:table-cell office:value-type=\"string\"><text:p>第一行</text:p><text:p>a<text:s "
      "text:c=\"3\"/>b<text:tab/>c<text:line-break/>d</text:p>"
      "<office:annotation><text:p>不读批注</text:p></office:annotation></table:table-cell>"
      "<table:table-cell "
      "office:value-type=\"string\"><text:p><text:span>粗</text:span><text:a>链接</text:a></text:p></table:table-cell>"
      "<table:table-cell table:number-columns-spanned=\"2\" "
      "office:value-type=\"string\"><text:p>merged</text:p></table:table-cell>"
      "<table:covered-table-cell office:value-type=\"string\"><text:p>hidden</text:p></table:covered-table-cell>"
      "<table:table-cell/><table:table-cell><text:p>no type</text:p></table:table-cell>"
      "</table:table-row>"
      "<table:table-row table:number-rows-repeated=\"2\">"
      "<table:table-cell table:number-columns-repeated=\"3\" office:value-type=\"float\" office:value=\"7\"/>"
      "<table:table-cell table:number-columns-repeated=\"16000\"/></table:table-row>"
      "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
      "table:number-columns-repeated=\"16384\"/></table:table-row>"
      "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"1\"/></table:table-row>";
  const auto book = readFlat(flat(body(table("S", rows))));
  EXPECT_EQ(shown(*book, 1, 1), "3.06");  // the value, not the text shown
  EXPECT_EQ(shown(*book, 1, 2), "0.5");
  EXPECT_EQ(shown(*book, 1, 3), "-12.5");
  EXPECT_EQ(shown(*book, 1, 4), "1965-3-1");
  EXPECT_EQ(shown(*book, 1, 5), "2020-2-29 13:45:30");
  EXPECT_EQ(book->value(1, 6).number, 8.5 / 24);
  EXPECT_TRUE(book->value(1, 6).isDate);
  EXPECT_EQ(book->value(1, 7).number, 1.5);
  EXPECT_EQ(shown(*book, 1, 8), "TRUE");
  EXPECT_EQ(book->value(1, 9).kind, CellKind::Error);
  EXPECT_EQ(shown(*book, 1, 9), "#N/A");
  EXPECT_EQ(shown(*book, 1, 10), "as attribute");
  EXPECT_EQ(shown(*book, 2, 1), "第一行\na   b\tc\nd");
  EXPECT_EQ(shown(*book, 2, 2), "粗链接");
  EXPECT_EQ(shown(*book, 2, 3), "merged");
  EXPECT_EQ(book->value(2, 4).kind, CellKind::Empty);  // covered by the merge
  EXPECT_EQ(shown(*book, 2, 6), "no type");
  for (uint32_t r : {3u, 4u})
    for (uint32_t c : {1u, 2u, 3u}) EXPECT_EQ(shown(*book, r, c), "7") << r << "," << c;
  EXPECT_EQ(book->value(3, 4).kind, CellKind::Empty);
  EXPECT_EQ(book->sheet().lastRow(), 0u + 1048575);  // after the empty million, counted not stored
  EXPECT_EQ(book->sheet().cellCount(), 10u + 4 + 6 + 1);
}

TEST(OpenDocument, AnEmptyRowRepeatedToTheEndCostsNothing) {
  std::string rows;
  for (int i = 0; i < 200; ++i)
    rows +=
        "<table:table-row table:number-rows-repeated=\"1048576\"><table:table-cell "
        "table:number-columns-repeated=\"16384\"/></table:table-row>";
  const auto start = std::chrono::steady_clock::now();
  const auto book = readFlat(flat(body(table("S", "<table:table-row>" + cellP("a") + "</table:table-row>" + rows))));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(book->sheet().cellCount(), 1u);
}

TEST(OpenDocument, ARepeatedValueBeyondTheCellLimitIsRefusedNotAllocated) {
  const std::string rows =
      "<table:table-row table:number-rows-repeated=\"1048576\">"
      "<table:table-cell table:number-columns-repeated=\"16384\" office:value-type=\"float\" "
      "office:value=\"1\"/></table:table-row>";
  const std::optional<Refusal> r = refusalOf(readFlatOpenDocument, flat(body(table("S", rows))));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->fault, WorkbookFault::Unreadable);
}

TEST(OpenDocument, OtherDocumentsAreRefused) {
  const std::string text =
      std::string("<office:document-content") + kNamespaces +
      "><office:body><office:text><text:p>letter</text:p></office:text></office:body></office:document-content>";
  const Bytes odt = makeZip({{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", text}});
  EXPECT_EQ(refusalOf(readOpenDocument, std::string(odt.begin(), odt.end()))->fault, WorkbookFault::NotAWorkbook);
  const Bytes locked =
      makeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
               {"content.xml", "\x01\x02"},
               {"META-INF/manifest.xml", "<manifest><file-entry><encryption-data/></file-entry></manifest>"}});
  EXPECT_EQ(refusalOf(readOpenDocument, std::string(locked.begin(), locked.end()))->fault, WorkbookFault::Encrypted);
  EXPECT_EQ(refusalOf(readFlatOpenDocument, flat(body("")))->fault, WorkbookFault::Damaged);  // no table
  EXPECT_EQ(refusalOf(readFlatOpenDocument, flat(body(table("S", "<table:table-row>"))))->fault,
            WorkbookFault::Damaged);
}

}  // namespace
}  // namespace gz::sheet
