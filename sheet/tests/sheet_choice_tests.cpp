// Every form lists its worksheets and reads the one asked for by name or
// number, and reports the rows the file hides.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form_test_support.h"
#include "sheet/model/cell_forms.h"
#include "sheet/open_workbook.h"
#include "sheet/xls/xls_reader.h"
#include "xls_test_support.h"

namespace gz::sheet {
namespace {

using namespace testing;

SheetRequest byNumber(uint32_t n) {
  SheetRequest r;
  r.number = n;
  return r;
}

SheetRequest byName(const char* utf8Name) {
  SheetRequest r;
  r.name = gb(utf8Name);
  return r;
}

std::unique_ptr<Workbook> readBytes(const std::string& bytes, const SheetRequest& request = {}) {
  return readWorkbook(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), "t", {}, request);
}

std::string fixture(const char* relative) {
  const ByteVec bytes = readTestFile(relative);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> namesOf(const Workbook& book) {
  std::vector<std::string> names;
  for (const std::string& n : book.sheetNames()) names.push_back(utf8(n));
  return names;
}

// Two sheets, the note first and active, as the roster fixtures have them.
std::string xmlSpreadsheet(const std::string& rowAttributes = "") {
  auto sheet = [&](const char* name, const char* a1) {
    return std::string("<Worksheet ss:Name=\"") + name + "\"><Table><Row" + rowAttributes +
           "><Cell><Data ss:Type=\"String\">" + a1 + "</Data></Cell></Row></Table></Worksheet>";
  };
  return "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
         "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">" +
         sheet("说明", "本表为预算科人员花名册") + sheet("人员", "序号") + "</Workbook>";
}

std::string flatOds(const std::string& tables) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document "
         "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
         "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>" +
         tables + "</office:spreadsheet></office:body></office:document>";
}

std::string odsTable(const char* name, const std::string& rows) {
  return std::string("<table:table table:name=\"") + name + "\">" + rows + "</table:table>";
}

std::string odsRow(const char* text, const char* attributes = "") {
  return std::string("<table:table-row") + attributes + "><table:table-cell office:value-type=\"string\"><text:p>" +
         text + "</text:p></table:table-cell></table:table-row>";
}

struct Form {
  const char* name;
  std::string bytes;
};

std::vector<Form> twoSheetForms() {
  return {
      {".xls", fixture("import/roster_second_sheet.xls")},
      {".xlsx", fixture("import/roster_second_sheet.xlsx")},
      {".ods", fixture("import/roster_second_sheet.ods")},
      {"XML Spreadsheet", xmlSpreadsheet()},
      {"flat OpenDocument",
       flatOds(odsTable("说明", odsRow("本表为预算科人员花名册")) + odsTable("人员", odsRow("序号")))},
  };
}

TEST(SheetChoice, EveryFormListsItsWorksheetsAndReadsTheOneAsked) {
  struct Row {
    const char* name;
    SheetRequest request;
    const char* sheet;
    std::size_t index;
    const char* a1;
  };
  const Row rows[] = {
      {"the active sheet", {}, "说明", 0, "本表为预算科人员花名册"},
      {"by number", byNumber(2), "人员", 1, "序号"},
      {"by name", byName("人员"), "人员", 1, "序号"},
      {"the active one by name", byName("说明"), "说明", 0, "本表为预算科人员花名册"},
  };
  for (const Form& form : twoSheetForms()) {
    for (const Row& r : rows) {
      SCOPED_TRACE(std::string(form.name) + ", " + r.name);
      const auto book = readBytes(form.bytes, r.request);
      EXPECT_EQ(namesOf(*book), (std::vector<std::string>{"说明", "人员"}));
      EXPECT_EQ(utf8(book->sheetName()), r.sheet);
      EXPECT_EQ(book->sheetIndex(), r.index);
      EXPECT_EQ(shown(*book, 1, 1), r.a1);
    }
  }
}

TEST(SheetChoice, ASheetTheWorkbookLacksIsNoSuchSheet) {
  std::vector<Form> forms = twoSheetForms();
  forms.push_back({"CSV, one sheet", "a,b\r\n1,2\r\n"});
  forms.push_back({"a web page, its first table only",
                   "<html><body><table><tr><td>a</td></tr></table>"
                   "<table><tr><td>b</td></tr></table></body></html>"});
  const struct {
    const char* name;
    SheetRequest request;
  } asked[] = {{"a number past the last", byNumber(3)}, {"a name not there", byName("名单")}};
  for (const Form& form : forms) {
    for (const auto& a : asked) {
      SCOPED_TRACE(std::string(form.name) + ", " + a.name);
      try {
        readBytes(form.bytes, a.request);
        ADD_FAILURE() << "read a sheet that is not there";
      } catch (const WorkbookError& e) {
        EXPECT_EQ(e.fault(), WorkbookFault::NoSuchSheet);
      }
    }
  }
  // The forms of one sheet have it as the first.
  EXPECT_EQ(shown(*readBytes("a,b\r\n", byNumber(1)), 1, 2), "b");
}

TEST(SheetChoice, ChartAndMacroSheetsAreNoWorksheets) {
  for (const bool biff8 : {true, false}) {
    SCOPED_TRACE(biff8 ? "BIFF8" : "BIFF5");
    auto name = [biff8](const char16_t* wide, const char* narrow) {
      return biff8 ? unicodeString(wide, false) : byteString(narrow, false);
    };
    BookLayout layout;
    layout.biff8 = biff8;
    layout.sheets.push_back(SheetLayout{name(u"Chart", "Chart"), 2, {}});
    layout.sheets.push_back(SheetLayout{name(u"One", "One"), 0, {numberCell(0, 0, 0, 1)}});
    layout.sheets.push_back(SheetLayout{name(u"Macro", "Macro"), 1, {}});
    layout.sheets.push_back(SheetLayout{name(u"Two", "Two"), 0, {numberCell(0, 0, 0, 2)}});
    const ByteVec stream = buildStream(layout);
    const auto second = readXlsStream(stream.data(), stream.size(), !biff8, "t.xls", {}, byNumber(2));
    EXPECT_EQ(namesOf(*second), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(second->sheetName(), "Two");
    EXPECT_EQ(second->value(1, 1).number, 2);
    // Asked for, the sheet is read without the remark on the active chart.
    EXPECT_EQ(second->notice(), "");
    EXPECT_EQ(readXlsStream(stream.data(), stream.size(), !biff8, "t.xls", {}, byName("One"))->value(1, 1).number, 1);
  }
}

// A BIFF row record: row, columns, height, then its options.
ByteVec rowRecord(unsigned row, unsigned options) {
  return record(0x0208, Payload().u16(row).u16(0).u16(1).u16(255).u16(0).u16(0).u16(options).u16(0x0F));
}

TEST(HiddenRows, EveryFormReportsTheRowsTheFileHides) {
  BookLayout built;
  built.sheets.push_back(SheetLayout{unicodeString(u"S", false),
                                     0,
                                     {rowRecord(0, 0x0100), rowRecord(1, 0x0120), numberCell(0, 0, 0, 1),
                                      numberCell(1, 0, 0, 2), rowRecord(3, 0x0020)}});
  const ByteVec stream = buildStream(built);
  const struct {
    const char* name;
    std::string bytes;
    std::vector<uint32_t> hidden;
  } rows[] = {
      {".xls", fixture("import/roster_hidden.xls"), {3, 5}},
      {".xlsx", fixture("import/roster_hidden.xlsx"), {3, 5}},
      {".ods (by hand and filtered out)", fixture("import/roster_hidden.ods"), {3, 5}},
      {"BIFF row records, empty hidden rows too", std::string(stream.begin(), stream.end()), {2, 4}},
      {"XML Spreadsheet", xmlSpreadsheet(" ss:Hidden=\"1\""), {1}},
      {"flat OpenDocument, a hidden row repeated",
       flatOds(
           odsTable("S", odsRow("a") + odsRow("b", " table:number-rows-repeated=\"2\" table:visibility=\"filter\"") +
                             odsRow("c", " table:visibility=\"visible\"") +
                             "<table:table-row table:number-rows-repeated=\"1048000\" table:visibility=\"collapsed\">"
                             "<table:table-cell table:number-columns-repeated=\"1024\"/></table:table-row>")),
       {2, 3}},
      {"nothing hidden", fixture("import/roster_second_sheet.xlsx"), {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(readBytes(r.bytes)->sheet().hiddenRows(), r.hidden);
  }
}

TEST(SheetRequest, ARowLimitKeepsOnlyTheTopOfTheSheet) {
  for (const char* file : {"import/roster_hidden.xls", "import/roster_hidden.xlsx", "import/roster_hidden.ods"}) {
    SCOPED_TRACE(file);
    SheetRequest top;
    top.rowLimit = 4;
    const auto book = readBytes(fixture(file), top);
    EXPECT_EQ(book->sheet().lastRow(), 4u);
    EXPECT_EQ(book->sheet().hiddenRows(), std::vector<uint32_t>{3});
    EXPECT_EQ(shown(*book, 4, 2), "李娜");
  }
}

// Reading another sheet opens the workbook again; its password is asked once.
TEST(RememberingPassword, TheOperatorIsAskedOncePerWorkbook) {
  struct Row {
    const char* name;
    std::vector<bool> calls;                  // lastWasWrong of each call the reader makes
    std::vector<std::string> answers;         // what the source answers, in order
    std::vector<bool> operatorAskedAsWrong;   // lastWasWrong of each question the operator sees
  };
  const Row rows[] = {
      {"two openings", {false, false}, {"p1", "p1"}, {false}},
      {"the operator's wrong password", {false, true, false}, {"p1", "p2", "p2"}, {false, true}},
      {"a remembered one that fails", {false, false, true}, {"p1", "p1", "p2"}, {false, false}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::vector<bool> asked;
    const PasswordSource source = rememberingPassword([&asked](const std::string&, bool lastWasWrong) {
      asked.push_back(lastWasWrong);
      return std::optional<std::string>("p" + std::to_string(asked.size()));
    });
    std::vector<std::string> answers;
    for (const bool wrong : r.calls) answers.push_back(source("t.xlsx", wrong).value_or(""));
    EXPECT_EQ(answers, r.answers);
    EXPECT_EQ(asked, r.operatorAskedAsWrong);
  }
  EXPECT_FALSE(rememberingPassword({}));
}

}  // namespace
}  // namespace gz::sheet
