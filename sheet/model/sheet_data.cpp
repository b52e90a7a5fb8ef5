#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>

#include "sheet/model/sheet_data.h"

namespace gz::sheet {

namespace {
// The largest sheet a workbook can hold; the readers refuse anything beyond.
constexpr uint32_t kMaxRow = 1048576;
constexpr uint32_t kMaxCol = 16384;

void checkPlace(uint32_t row, uint32_t col) {
  if (row < 1 || row > kMaxRow || col < 1 || col > kMaxCol)
    throw std::out_of_range("cell (" + std::to_string(row) + ", " + std::to_string(col) + ") lies outside the sheet");
}
}  // namespace

uint32_t SheetData::addString(std::string text, bool unreadable) {
  // Equal texts share one entry: a column of repeated names or codes costs one string.
  if ((strings_.size() + 1) * 2 > stringSlots_.size()) {
    std::size_t slots = 64;
    while (slots < (strings_.size() + 1) * 4) slots *= 2;
    rehashStrings(slots);
  }
  const std::size_t mask = stringSlots_.size() - 1;
  for (std::size_t slot = std::hash<std::string>{}(text)&mask;; slot = (slot + 1) & mask) {
    const uint32_t entry = stringSlots_[slot];
    if (entry == 0) {
      const auto index = static_cast<uint32_t>(strings_.size());
      strings_.push_back(std::move(text));
      unreadable_.push_back(unreadable);
      stringSlots_[slot] = index + 1;
      return index;
    }
    if (strings_[entry - 1] == text && unreadable_[entry - 1] == unreadable) return entry - 1;
  }
}

void SheetData::rehashStrings(std::size_t slotCount) {
  stringSlots_.assign(slotCount, 0);
  const std::size_t mask = slotCount - 1;
  for (uint32_t i = 0; i < strings_.size(); ++i) {
    std::size_t slot = std::hash<std::string>{}(strings_[i]) & mask;
    while (stringSlots_[slot] != 0) slot = (slot + 1) & mask;
    stringSlots_[slot] = i + 1;
  }
}

void SheetData::setNumber(uint32_t row, uint32_t col, double v, bool isDate) {
  checkPlace(row, col);
  if (beyondLimit(row)) return;
  Cell c{row, static_cast<uint16_t>(col), CellKind::Number, isDate, {}};
  c.number = v;
  push(c);
}

void SheetData::setString(uint32_t row, uint32_t col, uint32_t stringIndex) {
  checkPlace(row, col);
  if (beyondLimit(row)) return;
  if (stringIndex >= strings_.size())
    throw std::out_of_range("string index " + std::to_string(stringIndex) + " was never added");
  Cell c{row, static_cast<uint16_t>(col), CellKind::Text, false, {}};
  c.stringIndex = stringIndex;
  push(c);
}

void SheetData::setBoolean(uint32_t row, uint32_t col, bool v) {
  checkPlace(row, col);
  if (beyondLimit(row)) return;
  Cell c{row, static_cast<uint16_t>(col), CellKind::Boolean, false, {}};
  c.number = v ? 1 : 0;
  push(c);
}

void SheetData::setError(uint32_t row, uint32_t col, uint8_t code) {
  checkPlace(row, col);
  if (beyondLimit(row)) return;
  Cell c{row, static_cast<uint16_t>(col), CellKind::Error, false, {}};
  c.number = code;
  push(c);
}

void SheetData::push(const Cell& c) {
  if (blocks_.empty() || blocks_.back().size() == kBlockSize) {
    blocks_.emplace_back();
    blocks_.back().reserve(kBlockSize);
  }
  blocks_.back().push_back(c);
  ++cellCount_;
  finished_ = false;
}

namespace {
bool byPlace(const auto& a, const auto& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; }
}  // namespace

// Readers mostly deliver cells in order; only the rest pay for a sort, which
// needs the cells in one array for a while.
void SheetData::sortCells() {
  bool sorted = true;
  for (std::size_t i = 1; i < cellCount_ && sorted; ++i) sorted = !byPlace(cellAt(i), cellAt(i - 1));
  if (sorted) return;
  std::vector<Cell> all;
  all.reserve(cellCount_);
  for (auto& block : blocks_) {
    all.insert(all.end(), block.begin(), block.end());
    std::vector<Cell>().swap(block);
  }
  std::stable_sort(all.begin(), all.end(), [](const Cell& a, const Cell& b) { return byPlace(a, b); });
  for (std::size_t i = 0; i < all.size(); ++i) {
    std::vector<Cell>& block = blocks_[i >> kBlockBits];
    if (block.empty()) block.reserve(kBlockSize);
    block.push_back(all[i]);
  }
}

void SheetData::finish() {
  static_assert(sizeof(Cell) == 16, "cells stay 16 bytes so large sheets fit in memory");
  sortCells();
  // Of equal places keep the last one set: a cell is kept unless the next one is at its place.
  std::size_t out = 0;
  for (std::size_t i = 0; i < cellCount_; ++i) {
    if (i + 1 < cellCount_ && cellAt(i).row == cellAt(i + 1).row && cellAt(i).col == cellAt(i + 1).col) continue;
    cellAt(out++) = cellAt(i);
  }
  cellCount_ = out;
  const std::size_t blocksUsed = (out + kBlockSize - 1) >> kBlockBits;
  blocks_.resize(blocksUsed);
  if (blocksUsed > 0) blocks_.back().resize(out - ((blocksUsed - 1) << kBlockBits));
  strings_.shrink_to_fit();
  std::vector<uint32_t>().swap(stringSlots_);  // only needed while strings are added

  // rowStart_[r] is the index of the first cell of row r or later; one more entry ends the last row.
  const uint32_t rows = out == 0 ? 0 : cellAt(out - 1).row;
  rowStart_.assign(rows + 2, 0);
  std::size_t i = 0;
  for (uint32_t r = 0; r <= rows + 1; ++r) {
    while (i < out && cellAt(i).row < r) ++i;
    rowStart_[r] = static_cast<uint32_t>(i);
  }
  std::sort(hiddenRows_.begin(), hiddenRows_.end());
  hiddenRows_.erase(std::unique(hiddenRows_.begin(), hiddenRows_.end()), hiddenRows_.end());
  if (rowLimit_ != 0) std::erase_if(hiddenRows_, [this](uint32_t row) { return beyondLimit(row); });
  finished_ = true;
}

const SheetData::Cell* SheetData::find(uint32_t row, uint32_t col) const {
  if (!finished_) throw std::logic_error("SheetData read before finish()");
  if (row == 0 || col == 0 || col > kMaxCol || std::size_t{row} + 1 >= rowStart_.size()) return nullptr;
  // Binary search for the column within the row's cells.
  std::size_t first = rowStart_[row], last = rowStart_[row + 1];
  while (first < last) {
    const std::size_t mid = first + (last - first) / 2;
    if (cellAt(mid).col < col) first = mid + 1;
    else last = mid;
  }
  if (first == rowStart_[row + 1] || cellAt(first).col != col) return nullptr;
  return &cellAt(first);
}

CellValue SheetData::value(uint32_t row, uint32_t col) const {
  CellValue v;
  const Cell* c = find(row, col);
  if (!c) return v;
  v.kind = c->kind;
  if (c->kind == CellKind::Text) {
    v.text = strings_[c->stringIndex];
    v.unreadable = unreadable_[c->stringIndex];
  } else {
    v.number = c->number;
    v.isDate = c->isDate;
  }
  return v;
}

const std::string* SheetData::textAt(uint32_t row, uint32_t col) const {
  const Cell* c = find(row, col);
  return c && c->kind == CellKind::Text ? &strings_[c->stringIndex] : nullptr;
}

bool SheetData::unreadableAt(uint32_t row, uint32_t col) const {
  const Cell* c = find(row, col);
  return c && c->kind == CellKind::Text && unreadable_[c->stringIndex];
}

uint32_t SheetData::lastColumn(uint32_t row) const {
  if (!finished_) throw std::logic_error("SheetData::lastColumn() before finish()");
  if (row == 0 || std::size_t{row} + 1 >= rowStart_.size() || rowStart_[row] == rowStart_[row + 1]) return 0;
  return cellAt(rowStart_[row + 1] - 1).col;
}

uint32_t SheetData::lastRow() const {
  if (finished_) return cellCount_ == 0 ? 0 : cellAt(cellCount_ - 1).row;
  uint32_t last = 0;
  for (std::size_t i = 0; i < cellCount_; ++i) last = std::max(last, cellAt(i).row);
  return last;
}

}  // namespace gz::sheet
