// How text without a type (CSV fields, web-page cells) becomes a cell value.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "sheet/text_forms/typed_text.h"
#include "text/gb18030.h"

namespace gz::sheet {
namespace {

std::string gb(const char* utf8) { return text::utf8ToGb18030(utf8); }

struct Typed {
  const char* text;  // UTF-8
  CellKind kind;
  double number;
  bool isDate;
};

TEST(TypedText, NumbersDatesBooleansAndErrorsAsTypedIntoACell) {
  const Typed cases[] = {
      {"12", CellKind::Number, 12, false},
      {" 12 ", CellKind::Number, 12, false},
      {"-3.06", CellKind::Number, -3.06, false},
      {"+5", CellKind::Number, 5, false},
      {".5", CellKind::Number, 0.5, false},
      {"1,234.5", CellKind::Number, 1234.5, false},
      {"12,345,678", CellKind::Number, 12345678, false},
      {"1E5", CellKind::Number, 100000, false},
      {"1.10105E+17", CellKind::Number, 1.10105e17, false},
      {"50%", CellKind::Number, 0.5, false},
      {"0", CellKind::Number, 0, false},
      {"0.5", CellKind::Number, 0.5, false},
      {"1965.03", CellKind::Number, 1965.03, false},  // a number; the date column reads it as year.month
      {"19650301", CellKind::Number, 19650301, false},
      {"123456789012345", CellKind::Number, 123456789012345, false},  // 15 digits fit a number
      {"1965-3-1", CellKind::Number, 23802, true},
      {"1965/03/01", CellKind::Number, 23802, true},
      {"1965-03-01 12:00", CellKind::Number, 23802.5, true},
      {"1965年3月1日", CellKind::Number, 23802, true},
      {"1965-03", CellKind::Number, 23802, true},
      {"1965年3月", CellKind::Number, 23802, true},
      {"8:30", CellKind::Number, 8.5 / 24, true},
      {"08:30:00 PM", CellKind::Number, 20.5 / 24, true},
      {"TRUE", CellKind::Boolean, 1, false},
      {"false", CellKind::Boolean, 0, false},
      {"#N/A", CellKind::Error, 0x2A, false},
      {"#DIV/0!", CellKind::Error, 0x07, false},
  };
  for (const Typed& c : cases) {
    SCOPED_TRACE(c.text);
    const CellValue v = typedCellValue(gb(c.text));
    EXPECT_EQ(v.kind, c.kind);
    EXPECT_DOUBLE_EQ(v.number, c.number);
    EXPECT_EQ(v.isDate, c.isDate);
  }
}

TEST(TypedText, TextThatANumberWouldChangeStaysAsWritten) {
  for (const char* s : {"007",
                        "01",
                        "00",
                        "110105196503011234",
                        "6222021234567890123",
                        "11010519650301123X",
                        "1,23",
                        ",123",
                        "1.2.3",
                        "12 34",
                        "1965.3.1",
                        "3/1/1965",
                        "张三",
                        "#n/a?",
                        "1965-2-30",
                        "$12",
                        "- 5",
                        "inf",
                        "nan",
                        "0x1F",
                        " 张三 "}) {
    SCOPED_TRACE(s);
    const CellValue v = typedCellValue(gb(s));
    EXPECT_EQ(v.kind, CellKind::Text);
    EXPECT_EQ(v.text, gb(s));  // unchanged, blanks and all
  }
}

TEST(TypedText, BlanksAreAnEmptyCellAndUnreadableTextStaysText) {
  EXPECT_EQ(typedCellValue("").kind, CellKind::Empty);
  EXPECT_EQ(typedCellValue("  \t ").kind, CellKind::Empty);
  const CellValue bad = typedCellValue("12", true);
  EXPECT_EQ(bad.kind, CellKind::Text);
  EXPECT_TRUE(bad.unreadable);
}

}  // namespace
}  // namespace gz::sheet
