#include <gtest/gtest.h>

#include <stdexcept>

#include "sheet/model/cell_value.h"
#include "sheet/model/sheet_data.h"

namespace gz::sheet {
namespace {

TEST(SheetData, CellsOfEveryKindComeBackWhereTheyWereSet) {
  SheetData s;
  s.setText(3, 2, "\xD5\xC5\xC8\xFD");  // GBK 张三
  s.setNumber(1, 1, 3.06, false);
  s.setNumber(1, 16384, 23802, true);
  s.setBoolean(2, 5, true);
  s.setError(2, 6, 0x2A);
  s.finish();

  EXPECT_EQ(s.value(3, 2).kind, CellKind::Text);
  EXPECT_EQ(s.value(3, 2).text, "\xD5\xC5\xC8\xFD");
  EXPECT_EQ(s.value(1, 1).number, 3.06);
  EXPECT_FALSE(s.value(1, 1).isDate);
  EXPECT_TRUE(s.value(1, 16384).isDate);
  EXPECT_EQ(s.value(2, 5).kind, CellKind::Boolean);
  EXPECT_EQ(s.value(2, 5).number, 1);
  EXPECT_EQ(s.value(2, 6).kind, CellKind::Error);
  EXPECT_EQ(s.value(2, 6).number, 0x2A);
  EXPECT_EQ(s.lastRow(), 3u);
  EXPECT_EQ(s.cellCount(), 5u);
}

// The texts read in place are the texts value() gives; only text cells have one.
TEST(SheetData, TextsAreReadInPlaceWithTheirUnreadableMark) {
  SheetData s;
  s.setText(1, 1, "a");
  s.setText(1, 2, "b?", true);
  s.setNumber(1, 3, 7, false);
  s.finish();
  struct Row {
    const char* name;
    uint32_t col;
    const char* text;  // null: no text
    bool unreadable;
  } rows[] = {
      {"text", 1, "a", false},
      {"unreadable text", 2, "b?", true},
      {"number", 3, nullptr, false},
      {"empty", 4, nullptr, false},
  };
  for (const Row& r : rows) {
    const std::string* t = s.textAt(1, r.col);
    EXPECT_EQ(t != nullptr, r.text != nullptr) << r.name;
    if (t && r.text) {
      EXPECT_EQ(*t, r.text) << r.name;
    }
    EXPECT_EQ(s.unreadableAt(1, r.col), r.unreadable) << r.name;
    EXPECT_EQ(s.unreadableAt(1, r.col), s.value(1, r.col).unreadable) << r.name;
  }
  EXPECT_EQ(s.textAt(0, 1), nullptr);
  EXPECT_EQ(s.textAt(9, 1), nullptr);
}

TEST(SheetData, PlacesNeverSetAndOutOfRangeAreEmpty) {
  SheetData s;
  s.setNumber(2, 2, 1, false);
  s.setNumber(5, 1, 1, false);
  s.finish();
  for (auto [row, col] : {std::pair<uint32_t, uint32_t>{0, 0},
                          {0, 2},
                          {2, 0},
                          {1, 1},
                          {2, 1},
                          {2, 3},
                          {3, 2},
                          {4, 1},
                          {6, 1},
                          {4000000000u, 1},
                          {0xFFFFFFFFu, 0xFFFFFFFFu},
                          {2, 16385}})
    EXPECT_EQ(s.value(row, col).kind, CellKind::Empty) << row << "," << col;
}

TEST(SheetData, LaterSetWinsAtOnePlaceAndOrderIsRestored) {
  SheetData s;
  s.setNumber(2, 1, 1, false);
  s.setText(1, 3, "a");
  s.setNumber(2, 1, 2, false);
  s.setText(1, 1, "b");
  s.setText(1, 3, "c");
  s.finish();
  EXPECT_EQ(s.cellCount(), 3u);
  EXPECT_EQ(s.value(2, 1).number, 2);
  EXPECT_EQ(s.value(1, 3).text, "c");
  EXPECT_EQ(s.value(1, 1).text, "b");

  // Setting after finish() and finishing again keeps the same rule.
  s.setNumber(1, 1, 7, false);
  s.finish();
  EXPECT_EQ(s.value(1, 1).kind, CellKind::Number);
  EXPECT_EQ(s.value(1, 1).number, 7);
}

TEST(SheetData, EqualTextsAreStoredOnce) {
  SheetData s;
  const uint32_t a = s.addString("x");
  EXPECT_EQ(s.addString("y"), a + 1);
  EXPECT_EQ(s.addString("x"), a);
  EXPECT_EQ(s.addString(""), a + 2);
  s.setString(1, 1, a);
  s.setText(1, 2, "");
  s.finish();
  EXPECT_EQ(s.value(1, 1).text, "x");
  EXPECT_EQ(s.value(1, 2).kind, CellKind::Text);
  EXPECT_EQ(s.value(1, 2).text, "");
}

TEST(SheetData, MisuseIsRefusedRatherThanStoredWrongly) {
  SheetData s;
  EXPECT_THROW(s.setNumber(0, 1, 1, false), std::out_of_range);
  EXPECT_THROW(s.setNumber(1, 0, 1, false), std::out_of_range);
  EXPECT_THROW(s.setNumber(1048577, 1, 1, false), std::out_of_range);
  EXPECT_THROW(s.setBoolean(1, 16385, true), std::out_of_range);  // would wrap the 16-bit column
  EXPECT_THROW(s.setString(1, 1, 0), std::out_of_range);          // no such string
  EXPECT_THROW(s.value(1, 1), std::logic_error);                  // not finished
  s.finish();
  EXPECT_EQ(s.lastRow(), 0u);
  EXPECT_EQ(s.value(1, 1).kind, CellKind::Empty);
}

TEST(SheetData, LargeSheetLooksUpEveryCell) {
  SheetData s;
  const uint32_t rows = 65536, cols = 20;
  for (uint32_t r = rows; r >= 1; --r)  // set in reverse so finish() must sort
    for (uint32_t c = 1; c <= cols; ++c) s.setNumber(r, c, r * 100.0 + c, false);
  s.finish();
  EXPECT_EQ(s.lastRow(), rows);
  EXPECT_EQ(s.cellCount(), std::size_t{rows} * cols);
  for (uint32_t r = 1; r <= rows; r += 997)
    for (uint32_t c = 1; c <= cols; ++c) ASSERT_EQ(s.value(r, c).number, r * 100.0 + c);
  EXPECT_EQ(s.value(rows, cols).number, rows * 100.0 + cols);
  EXPECT_EQ(s.value(rows, cols + 1).kind, CellKind::Empty);
}

// Cells arriving in order skip the sort; repeats at one place must still be
// dropped in favour of the later one, also where they straddle the store's
// internal blocks (65,536 cells each).
TEST(SheetData, InOrderCellsWithRepeatsAcrossBlocks) {
  SheetData s;
  const uint32_t rows = 40000;
  for (uint32_t r = 1; r <= rows; ++r) {
    s.setNumber(r, 1, r, false);
    s.setNumber(r, 2, -1, false);
    s.setNumber(r, 2, r * 2.0, false);  // same place again: this one counts
  }
  s.finish();
  EXPECT_EQ(s.cellCount(), std::size_t{rows} * 2);
  for (uint32_t r = 1; r <= rows; r += 331) {
    ASSERT_EQ(s.value(r, 1).number, r);
    ASSERT_EQ(s.value(r, 2).number, r * 2.0);
  }
  EXPECT_EQ(s.value(rows, 2).number, rows * 2.0);
  EXPECT_EQ(s.lastColumn(rows), 2u);
}

}  // namespace
}  // namespace gz::sheet
