// CSV and tab-separated text: encodings, separators, quoting, typing.
#include <gtest/gtest.h>

#include "form_test_support.h"
#include "sheet/model/workbook.h"
#include "sheet/text_forms/text_form_readers.h"

namespace gz::sheet {
namespace {

using namespace testing;

std::unique_ptr<Workbook> csv(std::string_view bytes, const std::string& name = "人员.csv") {
  return readText(readDelimitedText, bytes, name);
}

TEST(DelimitedText, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks) {
  const auto book = csv("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"line 1\nline 2\",\"\",x\"y\"\n\"unended");
  EXPECT_EQ(book->sheetName(), gb("人员"));  // the file's name, as a sheet program names it
  EXPECT_EQ(shown(*book, 1, 1), "a");
  EXPECT_EQ(shown(*book, 1, 2), "b,c");
  EXPECT_EQ(shown(*book, 1, 3), "say \"hi\"");
  EXPECT_EQ(shown(*book, 2, 1), "line 1\nline 2");
  EXPECT_EQ(book->value(2, 2).kind, CellKind::Empty);
  EXPECT_EQ(shown(*book, 2, 3), "x\"y\"");  // quotes inside an unquoted field are kept
  EXPECT_EQ(shown(*book, 3, 1), "unended");  // a quote never closed runs to the end
  EXPECT_EQ(book->sheet().lastRow(), 3u);
}

TEST(DelimitedText, TheFirstLineChoosesTheSeparator) {
  const struct {
    const char* text;
    const char* second;  // the second field of row 2
  } cases[] = {
      {"a\tb,c\n1\t2,5\n", "2,5"},        // tab before comma
      {"a,b;c\n1,2;5\n", "2;5"},         // comma before semicolon
      {"a;b\n1;2,5\n", "2,5"},           // semicolons only
      {"\"x\ty\",b\n1,2\n", "2"},        // a tab inside quotes does not count
  };
  for (const auto& c : cases) EXPECT_EQ(shown(*csv(c.text), 2, 2), c.second) << c.text;
}

TEST(DelimitedText, RowsAndEmptyLinesAsASheetProgramShowsThem) {
  const auto book = csv("a,b\r\n\r\n,c\n\n\n");
  EXPECT_EQ(shown(*book, 1, 2), "b");
  EXPECT_EQ(book->value(2, 1).kind, CellKind::Empty);
  EXPECT_EQ(shown(*book, 3, 2), "c");
  EXPECT_EQ(book->sheet().lastRow(), 3u);  // a final line break adds no row
  EXPECT_EQ(book->sheet().cellCount(), 3u);
}

TEST(DelimitedText, EncodingsByByteOrderMarkOrByTheBytes) {
  const std::string chinese = "姓名,民族\n张三,汉族\n";
  const std::string gbBytes = gb(chinese);
  std::u16string wide = u"\uFEFF" + text::gb18030ToUtf16(gbBytes);
  std::string utf16le;
  for (char16_t c : wide) utf16le += char(c & 0xFF), utf16le += char(c >> 8);
  std::string utf16be;
  for (char16_t c : wide) utf16be += char(c >> 8), utf16be += char(c & 0xFF);
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"GBK", gbBytes},
      {"UTF-8 without a mark", chinese},
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + chinese},
      {"UTF-16LE", utf16le},
      {"UTF-16BE", utf16be},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto book = csv(c.bytes);
    EXPECT_EQ(shown(*book, 2, 1), "张三");
    EXPECT_EQ(shown(*book, 2, 2), "汉族");
    EXPECT_FALSE(book->value(2, 2).unreadable);
  }
  // GBK text that happens to be valid UTF-8 (女 is C5 AE) stays GBK.
  EXPECT_EQ(shown(*csv(gb("性别,x\n女,1\n")), 2, 1), "女");
  // Four-byte GB 18030 characters.
  EXPECT_EQ(shown(*csv(gb("a,b\n王䶮,李𬌗\n")), 2, 2), "李𬌗");
}

TEST(DelimitedText, MalformedTextMarksItsFieldUnreadable) {
  const auto gbBook = csv("a,b\n\xD5\xC5\xFF,ok\n");  // 张 then a byte that starts no character
  EXPECT_TRUE(gbBook->value(2, 1).unreadable);
  EXPECT_FALSE(gbBook->value(2, 2).unreadable);
  const auto utf8Book =
      csv("\xEF\xBB\xBF"
          "a,b\n\xE5\xBC\xA0\xC0,ok\n");
  EXPECT_TRUE(utf8Book->value(2, 1).unreadable);
  EXPECT_EQ(utf8Book->value(2, 2).text, "ok");
  const std::string lone = std::string(
      "\xFF\xFE"
      "a\0,\0"
      "\x00\xD8"
      "\n\0",
      10);  // a high surrogate alone
  EXPECT_TRUE(csv(lone)->value(1, 2).unreadable);
  EXPECT_TRUE(csv(std::string("a,b\nx\0y,z\n", 10))->value(2, 1).unreadable);  // a NUL is no text
}

TEST(DelimitedText, FieldsAreTypedAsTheyWouldBeTyped) {
  const auto book =
      csv(gb("序号,身份证号,民族,出生年月,参加工作时间,金额\n"
             "007,110105196503011234,01,1965-03-01,1965.03,\"1,234.5\"\n"));
  EXPECT_EQ(book->value(2, 1).kind, CellKind::Text);   // leading zero
  EXPECT_EQ(book->value(2, 2).kind, CellKind::Text);   // 18 digits
  EXPECT_EQ(shown(*book, 2, 2), "110105196503011234");
  EXPECT_EQ(book->value(2, 3).text, "01");
  EXPECT_TRUE(book->value(2, 4).isDate);
  EXPECT_EQ(cellDate(book->value(2, 4)), 23802);
  EXPECT_EQ(book->value(2, 5).number, 1965.03);        // a number; the date column reads it as March 1965
  EXPECT_EQ(cellDate(book->value(2, 5)), 23802);
  EXPECT_EQ(book->value(2, 6).number, 1234.5);
}

}  // namespace
}  // namespace gz::sheet
