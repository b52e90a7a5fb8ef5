// Workbook streams built record by record: every cell record, the active
// sheet choice, text in old code pages, and the refusal of damaged input.
#include <gtest/gtest.h>

#include "sheet/xls/xls_reader.h"
#include "text/gb18030.h"
#include "xls_test_support.h"

namespace gz::sheet {
namespace {

using namespace testing;

constexpr unsigned kDateXf = 1;    // XF 1 uses built-in format 14 (a date)
constexpr unsigned kCustomXf = 2;  // XF 2 uses custom format 164 ("yyyy-mm-dd")
constexpr unsigned kDbNumXf = 3;   // XF 3 uses custom format 165 ("[DBNum1]0", not a date)

ByteVec xf(unsigned format) { return record(0x00E0, Payload().u16(0).u16(format).u32(0).u32(0).u32(0).u32(0).u16(0)); }

std::vector<ByteVec> formatGlobals() {
  return {record(0x041E, Payload().u16(164).raw(unicodeString(u"yyyy-mm-dd"))),
          record(0x041E, Payload().u16(165).raw(unicodeString(u"[DBNum1]0"))),
          xf(0),
          xf(14),
          xf(164),
          xf(165)};
}

ByteVec sst(const std::vector<std::u16string>& strings) {
  Payload p;
  p.u32(static_cast<uint32_t>(strings.size())).u32(static_cast<uint32_t>(strings.size()));
  for (const auto& s : strings) p.raw(unicodeString(s));
  return record(0x00FC, p);
}

ByteVec window1(unsigned activeTab) {
  return record(0x003D, Payload().u16(0).u16(0).u16(100).u16(100).u16(0x38).u16(activeTab).u16(0).u16(1).u16(600));
}

SheetLayout worksheet(std::u16string name, std::vector<ByteVec> records = {}) {
  return SheetLayout{unicodeString(name, false), 0, std::move(records)};
}

std::string gbk(const char* utf8) { return text::utf8ToGb18030(utf8); }

ByteVec special(unsigned type, unsigned value) { return Payload().u8(type).u8(0).u8(value).u8(0).u16(0).u16(0xFFFF); }

TEST(XlsStream, ReadsEveryKindOfCellRecord) {
  BookLayout book;
  book.globals = formatGlobals();
  book.globals.push_back(sst({u"姓名", u"张三", u"unused"}));
  const ByteVec mulRk =
      record(0x00BD, Payload().u16(3).u16(1).u16(0).u32((7u << 2) | 2).u16(kDateXf).u32((30000u << 2) | 2).u16(3));
  const ByteVec label = record(0x0204, Payload().u16(4).u16(0).u16(0).raw(unicodeString(u"标签")));
  const ByteVec rstring = record(0x00D6, Payload().u16(4).u16(1).u16(0).raw(unicodeString(u"rich")).u16(1).u32(0));
  const ByteVec blank = record(0x0201, Payload().u16(5).u16(0).u16(0));
  book.sheets.push_back(worksheet(u"S", {
                                            sstCell(0, 0, 0, 0),
                                            sstCell(0, 1, 0, 1),
                                            sstCell(1, 1, 0, 1),
                                            numberCell(2, 0, 0, 3.06),
                                            rkCell(2, 1, 0, (12345u << 2) | 3),
                                            mulRk,
                                            label,
                                            rstring,
                                            blank,
                                            boolErrCell(5, 1, false, 1),
                                            boolErrCell(5, 2, true, 0x07),
                                        }));
  const auto wb = readStream(buildStream(book));
  EXPECT_EQ(wb->sheetName(), "S");
  EXPECT_EQ(wb->notice(), "");
  const SheetData& s = wb->sheet();
  EXPECT_EQ(s.value(1, 1).text, gbk("姓名"));
  EXPECT_EQ(s.value(1, 2).text, gbk("张三"));
  EXPECT_EQ(s.value(2, 2).text, gbk("张三"));
  EXPECT_EQ(s.value(3, 1).number, 3.06);
  EXPECT_DOUBLE_EQ(s.value(3, 2).number, 123.45);
  EXPECT_EQ(s.value(4, 2).number, 7);
  EXPECT_FALSE(s.value(4, 2).isDate);
  EXPECT_EQ(s.value(4, 3).number, 30000);
  EXPECT_TRUE(s.value(4, 3).isDate);  // each MULRK cell has its own format
  EXPECT_EQ(s.value(5, 1).text, gbk("标签"));
  EXPECT_EQ(s.value(5, 2).text, "rich");
  EXPECT_EQ(s.value(6, 1).kind, CellKind::Empty);
  EXPECT_EQ(s.value(6, 2).kind, CellKind::Boolean);
  EXPECT_EQ(s.value(6, 2).number, 1);
  EXPECT_EQ(s.value(6, 3).kind, CellKind::Error);
  EXPECT_EQ(s.value(6, 3).number, 0x07);
  EXPECT_EQ(s.cellCount(), 11u);
}

TEST(XlsStream, GivesTheCachedResultOfEveryFormulaKind) {
  BookLayout book;
  book.globals = formatGlobals();
  const ByteVec shrfmla = record(0x04BC, Payload().u32(0).u16(0));
  book.sheets.push_back(worksheet(u"F", {
                                            formulaCell(0, 0, 0, Payload().f64(2.5)),
                                            formulaCell(0, 1, kCustomXf, Payload().f64(40000)),
                                            formulaCell(1, 0, 0, special(0, 0)),
                                            shrfmla,
                                            record(0x0207, unicodeString(u"结果")),
                                            formulaCell(1, 1, 0, special(1, 1)),
                                            formulaCell(1, 2, 0, special(2, 0x2A)),
                                            formulaCell(1, 3, 0, special(3, 0)),
                                            // A STRING record not preceded by a string formula belongs to no cell.
                                            record(0x0207, unicodeString(u"stray")),
                                        }));
  const auto wb = readStream(buildStream(book));
  const SheetData& s = wb->sheet();
  EXPECT_EQ(s.value(1, 1).number, 2.5);
  EXPECT_FALSE(s.value(1, 1).isDate);
  EXPECT_TRUE(s.value(1, 2).isDate);
  EXPECT_EQ(s.value(2, 1).text, gbk("结果"));
  EXPECT_EQ(s.value(2, 2).kind, CellKind::Boolean);
  EXPECT_EQ(s.value(2, 3).kind, CellKind::Error);
  EXPECT_EQ(s.value(2, 3).number, 0x2A);
  EXPECT_EQ(s.value(2, 4).kind, CellKind::Text);
  EXPECT_EQ(s.value(2, 4).text, "");
  EXPECT_EQ(s.cellCount(), 6u);
}

TEST(XlsStream, LongFormulaTextContinuesInContinueRecords) {
  BookLayout book;
  book.sheets.push_back(worksheet(u"F", {
                                            formulaCell(0, 0, 0, special(0, 0)),
                                            record(0x0207, Payload().u16(8003).u8(0).text(std::string(8000, 'a'))),
                                            record(0x003C, Payload().u8(1).u16(0x5DE5).u16(0x8D44).u16('!')),
                                        }));
  const auto wb = readStream(buildStream(book));
  EXPECT_EQ(wb->value(1, 1).text, std::string(8000, 'a') + gbk("工资!"));
}

TEST(XlsStream, DateFlagComesFromTheCellFormat) {
  for (bool date1904 : {false, true}) {
    BookLayout book;
    book.globals = formatGlobals();
    if (date1904) book.globals.push_back(record(0x0022, Payload().u16(1)));
    book.sheets.push_back(worksheet(
        u"D", {
                  numberCell(0, 0, kDateXf, 100), numberCell(0, 1, kCustomXf, 100.25), numberCell(0, 2, kDbNumXf, 100),
                  numberCell(0, 3, 0, 100), numberCell(0, 4, 99, 100),  // a format index beyond the list: not a date
              }));
    const auto wb = readStream(buildStream(book));
    // 1904-based serials are made 1900-based; plain numbers stay as they are.
    const double shift = date1904 ? 1462 : 0;
    EXPECT_EQ(wb->value(1, 1).number, 100 + shift);
    EXPECT_TRUE(wb->value(1, 1).isDate);
    EXPECT_EQ(wb->value(1, 2).number, 100.25 + shift);
    EXPECT_TRUE(wb->value(1, 2).isDate);
    for (uint32_t col : {3u, 4u, 5u}) {
      EXPECT_EQ(wb->value(1, col).number, 100) << col;
      EXPECT_FALSE(wb->value(1, col).isDate) << col;
    }
  }
}

TEST(XlsStream, IgnoresCellsBeyondTheGridAndInsideEmbeddedCharts) {
  BookLayout book;
  const ByteVec chartBof = record(0x0809, Payload().u16(0x0600).u16(0x0020).u32(0));
  book.sheets.push_back(worksheet(
      u"G", {
                numberCell(65535, 255, 0, 1),
                numberCell(0, 256, 0, 2),
                record(0x00BD, Payload().u16(1).u16(254).u16(0).u32(6).u16(0).u32(10).u16(0).u32(14).u16(256)),
                chartBof,
                numberCell(3, 0, 0, 99),
                record(0x000A, {}),
                numberCell(4, 0, 0, 5),
            }));
  const auto wb = readStream(buildStream(book));
  EXPECT_EQ(wb->value(65536, 256).number, 1);
  EXPECT_EQ(wb->value(2, 255).number, 1);
  EXPECT_EQ(wb->value(2, 256).number, 2);
  EXPECT_EQ(wb->value(4, 1).kind, CellKind::Empty);
  EXPECT_EQ(wb->value(5, 1).number, 5);
  EXPECT_EQ(wb->sheet().cellCount(), 4u);

  // BIFF5 sheets end at row 16384.
  BookLayout old;
  old.biff8 = false;
  old.sheets.push_back(
      SheetLayout{byteString("Old", false), 0, {numberCell(16383, 0, 0, 1), numberCell(16384, 0, 0, 2)}});
  const auto wb5 = readStream(buildStream(old), true);
  EXPECT_EQ(wb5->sheet().cellCount(), 1u);
  EXPECT_EQ(wb5->sheet().lastRow(), 16384u);
}

TEST(XlsStream, ReadsTheActiveWorksheetOrTheFirstOneWithANotice) {
  auto bookWith = [](unsigned activeTab, bool withWindow = true) {
    BookLayout book;
    if (withWindow) book.globals.push_back(window1(activeTab));
    book.sheets.push_back(SheetLayout{unicodeString(u"图1", false), 2, {}});
    book.sheets.push_back(worksheet(u"第一", {numberCell(0, 0, 0, 1)}));
    book.sheets.push_back(SheetLayout{unicodeString(u"宏", false), 1, {}});
    book.sheets.push_back(worksheet(u"第二", {numberCell(0, 0, 0, 2)}));
    return readStream(buildStream(book));
  };
  EXPECT_EQ(bookWith(3)->sheetName(), gbk("第二"));
  EXPECT_EQ(bookWith(3)->value(1, 1).number, 2);
  EXPECT_EQ(bookWith(3)->notice(), "");

  const auto chart = bookWith(0);
  EXPECT_EQ(chart->sheetName(), gbk("第一"));
  EXPECT_EQ(chart->value(1, 1).number, 1);
  EXPECT_EQ(chart->notice(), gbk("活动工作表图1是图表,读取第一个工作表第一"));
  EXPECT_EQ(bookWith(2)->notice(), gbk("活动工作表宏是宏表,读取第一个工作表第一"));

  // An active tab beyond the sheet list is no remark worth making.
  EXPECT_EQ(bookWith(9)->sheetName(), gbk("第一"));
  EXPECT_EQ(bookWith(9)->notice(), "");
  // Without a WINDOW1 record the first tab is active, here the chart.
  EXPECT_EQ(bookWith(0, false)->sheetName(), gbk("第一"));
  EXPECT_EQ(bookWith(0, false)->notice(), chart->notice());
}

TEST(XlsStream, OldWorkbooksReadTextInTheirCodePage) {
  BookLayout book;
  book.biff8 = false;
  book.globals.push_back(record(0x0042, Payload().u16(936)));
  book.globals.push_back(record(0x041E, Payload().u16(164).raw(byteString("yyyy\"\xC4\xEA\"m", false))));
  book.globals.push_back(xf(0));
  book.globals.push_back(xf(164));
  const std::string name = gbk("工资表");
  book.sheets.push_back(SheetLayout{byteString(name, false),
                                    0,
                                    {
                                        record(0x0204, Payload().u16(0).u16(0).u16(0).raw(byteString(gbk("张三丰")))),
                                        record(0x0207, byteString("stray")),
                                        formulaCell(1, 0, 0, special(0, 0)),
                                        record(0x0207, byteString(gbk("李四"))),
                                        numberCell(2, 0, 1, 30000),
                                    }});
  const auto wb = readStream(buildStream(book), true);
  EXPECT_EQ(wb->sheetName(), name);
  EXPECT_EQ(wb->value(1, 1).text, gbk("张三丰"));
  EXPECT_EQ(wb->value(2, 1).text, gbk("李四"));
  EXPECT_TRUE(wb->value(3, 1).isDate);
  EXPECT_EQ(wb->notice(), "");

  // Western text in code page 1252; a code page the conversion does not know
  // is read as 1252 and said so.
  BookLayout west;
  west.biff8 = false;
  west.globals.push_back(record(0x0042, Payload().u16(1252)));
  west.sheets.push_back(SheetLayout{
      byteString("W", false), 0, {record(0x0204, Payload().u16(0).u16(0).u16(0).raw(byteString("caf\xE9")))}});
  EXPECT_EQ(readStream(buildStream(west), true)->value(1, 1).text, gbk("café"));
  west.globals[0] = record(0x0042, Payload().u16(874));
  const auto thai = readStream(buildStream(west), true);
  EXPECT_EQ(thai->notice(), gbk("工作簿的代码页874不受支持,文本按西欧代码页1252读取"));
}

std::string messageFor(const BookLayout& book) { return errorOf(compoundFile(buildStream(book))); }

TEST(XlsStream, RefusesDamagedOrUnsupportedStreamsWithOneMessage) {
  BookLayout good;
  good.sheets.push_back(worksheet(u"S", {numberCell(0, 0, 0, 1)}));
  EXPECT_EQ(messageFor(good), "");

  BookLayout encrypted = good;
  encrypted.globals.push_back(record(0x002F, Payload().u16(1).u16(1)));
  EXPECT_EQ(messageFor(encrypted), "工作簿有打开密码: t.xls");

  BookLayout noWorksheet;
  noWorksheet.sheets.push_back(SheetLayout{unicodeString(u"C", false), 2, {}});
  EXPECT_EQ(messageFor(noWorksheet), "工作簿中没有工作表: t.xls");

  BookLayout badSst = good;
  badSst.globals.push_back(sst({u"a"}));
  badSst.sheets[0].records.push_back(sstCell(1, 0, 0, 1));
  EXPECT_EQ(messageFor(badSst), "文件已损坏(共享字符串索引无效): t.xls");

  BookLayout shortCell = good;
  shortCell.sheets[0].records.push_back(record(0x0203, Payload().u16(1).u16(1)));
  EXPECT_EQ(messageFor(shortCell), "文件已损坏(记录不完整): t.xls");

  ByteVec stream = buildStream(good);
  ByteVec noSheetEof(stream.begin(), stream.end() - 4);
  EXPECT_EQ(errorOf(compoundFile(noSheetEof)), "文件已损坏(工作表不完整): t.xls");
  ByteVec cutRecord(stream.begin(), stream.end() - 6);
  EXPECT_EQ(errorOf(compoundFile(cutRecord)), "文件已损坏(记录越界): t.xls");

  // The sheet offset sits in the BOUNDSHEET payload right after the 12-byte BOF.
  auto withSheetOffset = [&](uint32_t offset) {
    ByteVec bytes = stream;
    for (int b = 0; b < 4; ++b) bytes[16 + b] = static_cast<uint8_t>(offset >> (8 * b));
    return errorOf(compoundFile(bytes));
  };
  EXPECT_EQ(withSheetOffset(0x7F0000FF), "文件已损坏(工作表位置无效): t.xls");
  EXPECT_EQ(withSheetOffset(static_cast<uint32_t>(stream.size())), "文件已损坏(工作表位置无效): t.xls");
  EXPECT_EQ(withSheetOffset(12), "文件已损坏(工作表位置无效): t.xls");  // the BOUNDSHEET itself

  ByteVec noGlobalsEof = record(0x0809, Payload().u16(0x0600).u16(5).u32(0));
  EXPECT_EQ(errorOf(compoundFile(noGlobalsEof)), "文件已损坏(工作簿不完整): t.xls");
  EXPECT_EQ(errorOf(compoundFile(record(0x0409, Payload().u16(0).u16(0x10)))), "Excel版本过旧,无法读取: t.xls");
  EXPECT_EQ(errorOf(compoundFile(record(0x1234, Payload().u16(0)))), "不是Excel工作簿: t.xls");
  ByteVec sheetBof = record(0x0809, Payload().u16(0x0600).u16(0x10).u32(0));
  EXPECT_EQ(errorOf(compoundFile(sheetBof)), "不是Excel工作簿: t.xls");
}

TEST(XlsStream, FindsTheWorkbookStreamInTheCompoundFile) {
  BookLayout book;
  book.sheets.push_back(worksheet(u"New", {numberCell(0, 0, 0, 8)}));
  BookLayout old;
  old.biff8 = false;
  old.sheets.push_back(SheetLayout{byteString("Old", false), 0, {numberCell(0, 0, 0, 5)}});

  auto sheetOf = [](const ByteVec& file) { return readXls(file.data(), file.size(), "t.xls")->sheetName(); };
  EXPECT_EQ(sheetOf(compoundFile(buildStream(book), "WORKBOOK")), "New");
  EXPECT_EQ(sheetOf(compoundFile(buildStream(old), "Book")), "Old");
  // A file saved in both formats: the newer stream wins.
  EXPECT_EQ(sheetOf(compoundFile({{"Book", buildStream(old)}, {"Workbook", buildStream(book)}})), "New");

  EXPECT_EQ(errorOf(compoundFile({{"EncryptedInfo", {1, 2}}, {"EncryptedPackage", {1, 2, 3}}})),
            "文件已损坏(加密信息无效): t.xls");
  EXPECT_EQ(errorOf(compoundFile(buildStream(book), "WordDocument")), "不是Excel工作簿: t.xls");
  EXPECT_EQ(errorOf({'P', 'K', 3, 4, 0, 0}), "不是Excel工作簿: t.xls");
  EXPECT_EQ(errorOf({}), "不是Excel工作簿: t.xls");
  ByteVec signatureOnly = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1, 0, 0, 0};
  EXPECT_EQ(errorOf(signatureOnly), "文件已损坏(复合文件结构无效): t.xls");
}

}  // namespace
}  // namespace gz::sheet
