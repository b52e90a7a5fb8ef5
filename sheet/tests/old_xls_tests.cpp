// Excel 2.x, 3.0 and 4.0 worksheets built record by record.
#include <gtest/gtest.h>

#include "form_test_support.h"
#include "sheet/model/workbook.h"
#include "sheet/xls/xls_reader.h"
#include "xls_test_support.h"

namespace gz::sheet {
namespace {

using namespace testing;

ByteVec stream(std::initializer_list<ByteVec> records) {
  ByteVec out;
  for (const ByteVec& r : records) out.insert(out.end(), r.begin(), r.end());
  return out;
}

std::unique_ptr<Workbook> read(const ByteVec& bytes, const std::string& name = "old.xls") {
  return readOldXls(bytes.data(), bytes.size(), name);
}

std::optional<WorkbookFault> faultOf(const ByteVec& bytes) {
  try {
    read(bytes);
  } catch (const WorkbookError& e) {
    return e.fault();
  }
  return std::nullopt;
}

ByteVec bof(unsigned id, unsigned type = 0x0010) {
  return record(static_cast<uint16_t>(id),
                id == 0x0009 ? Payload().u16(2).u16(type) : Payload().u16(0).u16(type).u16(0));
}
const ByteVec kEof = record(0x000A, {});

// BIFF2 cells: row, column, then three attribute bytes whose second names the format.
Payload cell2(unsigned row, unsigned col, unsigned format) {
  return std::move(Payload().u16(row).u16(col).u8(0).u8(format).u8(0));
}
ByteVec format23(std::string_view code) {
  return record(0x001E, Payload().u8(static_cast<unsigned>(code.size())).text(code));
}

const ByteVec kStringResult = Payload().u8(0).u8(0).u8(0).u8(0).u16(0).u16(0xFFFF);

TEST(OldXls, Biff2CellsWithTheirFormatsAndCodePage) {
  const auto book = read(stream({
                             bof(0x0009),
                             record(0x0042, Payload().u16(936)),
                             format23("General"),
                             format23("0.00"),
                             format23("yyyy-mm-dd"),
                             record(0x0004, cell2(0, 0, 0).u8(4).text(gb("姓名"))),
                             record(0x0004, cell2(1, 0, 0).u8(4).text(gb("张三"))),
                             record(0x0003, cell2(1, 1, 2).f64(23802)),
                             record(0x0003, cell2(1, 2, 1).f64(3.06)),
                             record(0x0002, cell2(1, 3, 0).u16(42)),
                             record(0x0005, cell2(1, 4, 0).u8(1).u8(0)),
                             record(0x0005, cell2(1, 5, 0).u8(0x2A).u8(1)),
                             record(0x0006, cell2(1, 6, 0).raw(kStringResult).u8(0).u8(0)),
                             record(0x0007, Payload().u8(3).text("abc")),
                             record(0x0006, cell2(1, 7, 2).f64(31260).u8(0).u8(0)),
                             kEof,
                         }),
                         "/data/工资2.XLS");
  EXPECT_EQ(book->sheetName(), gb("工资2"));
  EXPECT_EQ(book->notice(), "");
  EXPECT_EQ(shown(*book, 1, 1), "姓名");
  EXPECT_EQ(shown(*book, 2, 1), "张三");
  EXPECT_EQ(shown(*book, 2, 2), "1965-3-1");
  EXPECT_TRUE(book->value(2, 2).isDate);
  EXPECT_EQ(shown(*book, 2, 3), "3.06");
  EXPECT_FALSE(book->value(2, 3).isDate);
  EXPECT_EQ(shown(*book, 2, 4), "42");
  EXPECT_EQ(shown(*book, 2, 5), "TRUE");
  EXPECT_EQ(shown(*book, 2, 6), "#N/A");
  EXPECT_EQ(shown(*book, 2, 7), "abc");
  EXPECT_EQ(shown(*book, 2, 8), "1985-8-1");  // a formula's number under a date format
  EXPECT_EQ(book->sheet().cellCount(), 9u);
}

TEST(OldXls, Biff3And4CellsTakeTheFormatOfTheirXf) {
  for (unsigned version : {3u, 4u}) {
    SCOPED_TRACE(version);
    const bool biff4 = version == 4;
    auto format = [&](std::string_view code) {
      return biff4 ? record(0x041E, Payload().u16(0).u8(static_cast<unsigned>(code.size())).text(code))
                   : format23(code);
    };
    // XF records: font, then the format index; the rest does not matter here.
    auto xf = [&](unsigned fmt) {
      return record(biff4 ? 0x0443 : 0x0243, Payload().u8(0).u8(fmt).u16(0).u32(0).u32(0));
    };
    const auto book = read(stream({
        bof(biff4 ? 0x0409 : 0x0209),
        record(0x0042, Payload().u16(0x8001)),  // Windows ANSI as these versions write it
        record(0x0022, Payload().u16(1)),       // the 1904 date system
        format("General"),
        format("m/d/yy"),
        format("0%"),
        xf(0),
        xf(1),
        xf(2),
        record(0x0204, Payload().u16(0).u16(0).u16(0).u16(5).text("caf\xE9\n")),
        record(0x0203, Payload().u16(1).u16(0).u16(1).f64(22340)),  // 1965-03-01 in the 1904 system
        record(0x0203, Payload().u16(1).u16(1).u16(2).f64(0.5)),
        record(0x027E, Payload().u16(1).u16(2).u16(0).u32((12345u << 2) | 3)),
        record(0x0205, Payload().u16(1).u16(3).u16(0).u8(0).u8(0)),
        record(static_cast<uint16_t>(biff4 ? 0x0406 : 0x0206),
               Payload().u16(1).u16(4).u16(0).raw(kStringResult).u16(0).u16(0)),
        record(0x0207, Payload().u16(4).text("\xC4\xE3\xBA\xC3")),
        record(0x0203, Payload().u16(16384).u16(0).u16(0).f64(1)),  // beyond the grid of these versions
        kEof,
    }));
    EXPECT_EQ(shown(*book, 1, 1), "caf\u00E9\n");
    EXPECT_EQ(shown(*book, 2, 1), "1965-3-1");
    EXPECT_EQ(cellDate(book->value(2, 1)), 23802);
    EXPECT_EQ(shown(*book, 2, 2), "0.5");  // a percentage is no date, and not shifted
    EXPECT_EQ(shown(*book, 2, 3), "123.45");
    EXPECT_EQ(shown(*book, 2, 4), "FALSE");
    EXPECT_EQ(shown(*book, 2, 5), "\u00C4\u00E3\u00BA\u00C3");  // bytes of GBK 你好 in code page 1252: Latin letters
    EXPECT_EQ(book->sheet().cellCount(), 6u);
  }
}

TEST(OldXls, AnUnknownCodePageIsReadAsWesternWithANotice) {
  const auto book = read(stream({bof(0x0409), record(0x0042, Payload().u16(437)),
                                 record(0x0204, Payload().u16(0).u16(0).u16(0).u16(1).text("a")), kEof}));
  EXPECT_EQ(shown(*book, 1, 1), "a");
  EXPECT_EQ(utf8(book->notice()), "工作簿的代码页437不受支持,文本按西欧代码页1252读取");
}

TEST(OldXls, OtherFilesAreRefusedWithTheirKind) {
  const struct {
    const char* what;
    ByteVec bytes;
    WorkbookFault fault;
  } cases[] = {
      {"a chart", stream({bof(0x0409, 0x0020), kEof}), WorkbookFault::Unsupported},
      {"a macro sheet", stream({bof(0x0209, 0x0040), kEof}), WorkbookFault::Unsupported},
      {"an Excel 4.0 workbook of several sheets", stream({bof(0x0409, 0x0100), kEof}), WorkbookFault::Unsupported},
      {"a password", stream({bof(0x0009), record(0x002F, Payload().u16(1).u16(2)), kEof}), WorkbookFault::Encrypted},
      {"no end", stream({bof(0x0209), record(0x0203, Payload().u16(0).u16(0).u16(0).f64(1))}), WorkbookFault::Damaged},
      {"a cut record", stream({bof(0x0209), record(0x0203, Payload().u16(0).u16(0)), kEof}), WorkbookFault::Damaged},
      {"a text longer than its record",
       stream({bof(0x0209), record(0x0204, Payload().u16(0).u16(0).u16(0).u16(9).text("ab")), kEof}),
       WorkbookFault::Damaged},
      {"no BOF", stream({kEof}), WorkbookFault::NotAWorkbook},
  };
  for (const auto& c : cases) EXPECT_EQ(faultOf(c.bytes), c.fault) << c.what;
}

}  // namespace
}  // namespace gz::sheet
