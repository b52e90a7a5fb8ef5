// The cells of one sheet, sparse and compact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sheet/model/cell_value.h"

namespace gz::sheet {

// Compact sparse storage of one sheet, filled by the reader of every form.
class SheetData {
 public:
  // Texts are interned once (shared strings) and referred to by index.
  uint32_t addString(std::string text, bool unreadable = false);
  void setNumber(uint32_t row, uint32_t col, double v, bool isDate);
  void setString(uint32_t row, uint32_t col, uint32_t stringIndex);
  void setText(uint32_t row, uint32_t col, std::string text, bool unreadable = false) {
    if (beyondLimit(row)) return;
    setString(row, col, addString(std::move(text), unreadable));
  }
  void setBoolean(uint32_t row, uint32_t col, bool v);
  void setError(uint32_t row, uint32_t col, uint8_t code);
  // Sorts the cells by (row, column); of two cells at one place the later set wins.
  void finish();

  // Row and column count from 1. Out of range or never set: Empty.
  CellValue value(uint32_t row, uint32_t col) const;
  // The text of a text cell without a copy; null for any other cell.
  const std::string* textAt(uint32_t row, uint32_t col) const;
  // True for a text cell whose text the file held malformed.
  bool unreadableAt(uint32_t row, uint32_t col) const;
  uint32_t lastRow() const;  // 0 for an empty sheet
  uint32_t lastColumn(uint32_t row) const;  // of that row; 0 when it has no cells
  std::size_t cellCount() const { return cellCount_; }

  // Rows the file marks hidden (hidden by hand or filtered out), from 1.
  void markHidden(uint32_t row) { hiddenRows_.push_back(row); }
  // Sorted and each once, after finish().
  const std::vector<uint32_t>& hiddenRows() const { return hiddenRows_; }

  // Cells below `lastRow` are dropped as they are set (0: no limit), so that
  // a look at the top of a large sheet holds no more than its top.
  void limitRows(uint32_t lastRow) { rowLimit_ = lastRow; }

 private:
  struct Cell {
    uint32_t row;
    uint16_t col;
    CellKind kind;
    bool isDate;
    union {
      double number;
      uint32_t stringIndex;
    };
  };
  static_assert(sizeof(double) == 8);
  // Cells live in fixed blocks, so the store never grows by copying (which
  // would hold the old and the new array at once: twice a large sheet).
  static constexpr std::size_t kBlockBits = 16;
  static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
  Cell& cellAt(std::size_t i) { return blocks_[i >> kBlockBits][i & (kBlockSize - 1)]; }
  const Cell& cellAt(std::size_t i) const { return blocks_[i >> kBlockBits][i & (kBlockSize - 1)]; }
  void push(const Cell& c);
  const Cell* find(uint32_t row, uint32_t col) const;  // null for an empty place
  void sortCells();
  std::vector<std::vector<Cell>> blocks_;
  std::size_t cellCount_ = 0;
  std::vector<std::string> strings_;
  std::vector<bool> unreadable_;  // by string index
  // Open-addressing hash of strings_: each slot holds an index + 1, 0 when
  // free. Four bytes a slot instead of a node per string keeps large sheets small.
  std::vector<uint32_t> stringSlots_;
  void rehashStrings(std::size_t slotCount);
  std::vector<uint32_t> rowStart_;  // built by finish(): first cell index of each row
  bool finished_ = false;
  std::vector<uint32_t> hiddenRows_;
  uint32_t rowLimit_ = 0;
  bool beyondLimit(uint32_t row) const { return rowLimit_ != 0 && row > rowLimit_; }
};

}  // namespace gz::sheet
