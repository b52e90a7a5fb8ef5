// Damaged and hostile packages: one clear error each, never a crash or a hang.
#include <gtest/gtest.h>

#include "sheet/model/workbook_error.h"
#include "xlsx_test_package.h"

namespace gz::sheet {
namespace {

using testing::Bytes;
using testing::makeZip;
using testing::minimalParts;
using testing::readFile;
using testing::xlsxError;

Bytes withPart(const std::string& name, const std::string& content, const std::string& sheetData = "") {
  auto parts = minimalParts(sheetData);
  parts[name] = content;
  return makeZip(parts);
}

Bytes withoutPart(const std::string& name) {
  auto parts = minimalParts("");
  parts.erase(name);
  return makeZip(parts);
}

void expectOneLineError(const Bytes& bytes, const std::string& mentions, const char* label) {
  const std::string message = xlsxError(bytes);
  EXPECT_NE(message, "") << label;
  EXPECT_EQ(message.find('\n'), std::string::npos) << label << ": " << message;
  EXPECT_NE(message.find("t.xlsx"), std::string::npos) << label << ": " << message;
  EXPECT_NE(message.find(mentions), std::string::npos) << label << ": " << message;
}

TEST(XlsxBadInput, EachDamageGivesOneClearLine) {
  const std::string ws = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
  const struct {
    const char* label;
    Bytes bytes;
    std::string mentions;
  } cases[] = {
      {"no workbook part", withoutPart("xl/workbook.xml"), "xl/workbook.xml"},
      {"no sheet part", withoutPart("xl/worksheets/sheet1.xml"), "sheet1.xml"},
      {"not a workbook", withPart("xl/workbook.xml", "<document/>"), "不是Excel工作簿"},
      {"malformed xml", withPart("xl/worksheets/sheet1.xml", ws + "<sheetData><row>"), "sheet1.xml"},
      {"bad shared string",
       withPart("xl/sharedStrings.xml", "<sst><si><t>a</t></si></sst>",
                "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>"),
       "A1"},
      {"bad number", withPart("xl/styles.xml", "<styleSheet/>", "<row r=\"3\"><c r=\"B3\"><v>1,5</v></c></row>"), "B3"},
      {"bad row", withPart("xl/styles.xml", "<styleSheet/>", "<row r=\"x\"/>"), "x"},
      {"dtd with entities",
       withPart("xl/sharedStrings.xml",
                "<!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                "<sst><si><t>&b;</t></si></sst>"),
       "DTD"},
      {"external entity",
       withPart("xl/workbook.xml", "<!DOCTYPE w [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><workbook>&e;</workbook>"),
       "DTD"},
      {"binary workbook",
       makeZip({{"_rels/.rels",
                 "<Relationships><Relationship Id=\"r\" Type=\"http://x/officeDocument\" "
                 "Target=\"xl/workbook.bin\"/></Relationships>"},
                {"xl/workbook.bin", "\x83\x01"}}),
       ".xlsb"},
      {"word document",
       makeZip({{"_rels/.rels",
                 "<Relationships><Relationship Id=\"r\" Type=\"http://x/officeDocument\" "
                 "Target=\"word/document.xml\"/></Relationships>"},
                {"word/document.xml", "<document/>"}}),
       "不是Excel工作簿"},
      {"zip without anything", makeZip({{"a.txt", "hello"}}), "不是Excel工作簿"},
  };
  for (const auto& c : cases) expectOneLineError(c.bytes, c.mentions, c.label);
}

TEST(XlsxBadInput, OnlyChartSheetsIsRefused) {
  auto parts = minimalParts("");
  parts["xl/_rels/workbook.xml.rels"] =
      "<Relationships><Relationship Id=\"rId1\" "
      "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet\" "
      "Target=\"chartsheets/sheet1.xml\"/></Relationships>";
  expectOneLineError(makeZip(parts), "没有工作表", "chart only");
}

TEST(XlsxBadInput, EveryTruncationOfARealFileFailsCleanly) {
  const Bytes whole = readFile(std::string(GZ_TEST_DATA) + "/sheet/xlsx/calamine_richtext-namespaced.xlsx");
  // Cut at many points: the central directory goes first, so every cut must be refused.
  for (std::size_t size = 0; size < whole.size(); size += 97) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_NE(xlsxError(cut), "") << size;
  }
}

TEST(XlsxBadInput, CorruptedBytesNeverCrash) {
  const Bytes whole = readFile(std::string(GZ_TEST_DATA) + "/sheet/xlsx/gen_cell_forms.xlsx");
  // Flip bytes across the file; each outcome is a workbook or a WorkbookError.
  for (std::size_t pos = 0; pos < whole.size(); pos += 13) {
    Bytes damaged = whole;
    damaged[pos] ^= 0x5A;
    try {
      testing::readXlsxBytes(damaged);
    } catch (const WorkbookError&) {
    }
  }
}

}  // namespace
}  // namespace gz::sheet
