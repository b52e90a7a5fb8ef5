#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>

#include "sheet/workbook.h"

namespace gz::sheet {

namespace {
// The largest sheet a workbook can hold; the readers refuse anything beyond.
constexpr uint32_t kMaxRow = 1048576;
constexpr uint32_t kMaxCol = 16384;

void checkPlace(uint32_t row, uint32_t col) {
  if (row < 1 || row > kMaxRow || col < 1 || col > kMaxCol)
    throw std::out_of_range("cell (" + std::to_string(row) + ", " + std::to_string(col) +
                            ") lies outside the sheet");
}
}  // namespace

uint32_t SheetData::addString(std::string gbk) {
  // Equal texts share one entry: a column of repeated names or codes costs one string.
  const std::size_t h = std::hash<std::string>{}(gbk);
  auto [first, last] = stringLookup_.equal_range(h);
  for (auto it = first; it != last; ++it)
    if (strings_[it->second] == gbk) return it->second;
  const auto index = static_cast<uint32_t>(strings_.size());
  strings_.push_back(std::move(gbk));
  stringLookup_.emplace(h, index);
  return index;
}

void SheetData::setNumber(uint32_t row, uint32_t col, double v, bool isDate) {
  checkPlace(row, col);
  Cell c{row, static_cast<uint16_t>(col), CellKind::Number, isDate, {}};
  c.number = v;
  cells_.push_back(c);
  finished_ = false;
}

void SheetData::setString(uint32_t row, uint32_t col, uint32_t stringIndex) {
  checkPlace(row, col);
  if (stringIndex >= strings_.size())
    throw std::out_of_range("string index " + std::to_string(stringIndex) + " was never added");
  Cell c{row, static_cast<uint16_t>(col), CellKind::Text, false, {}};
  c.stringIndex = stringIndex;
  cells_.push_back(c);
  finished_ = false;
}

void SheetData::setBoolean(uint32_t row, uint32_t col, bool v) {
  checkPlace(row, col);
  Cell c{row, static_cast<uint16_t>(col), CellKind::Boolean, false, {}};
  c.number = v ? 1 : 0;
  cells_.push_back(c);
  finished_ = false;
}

void SheetData::setError(uint32_t row, uint32_t col, uint8_t code) {
  checkPlace(row, col);
  Cell c{row, static_cast<uint16_t>(col), CellKind::Error, false, {}};
  c.number = code;
  cells_.push_back(c);
  finished_ = false;
}

void SheetData::finish() {
  static_assert(sizeof(Cell) == 16, "cells stay 16 bytes so large sheets fit in memory");
  std::stable_sort(cells_.begin(), cells_.end(), [](const Cell& a, const Cell& b) {
    return a.row != b.row ? a.row < b.row : a.col < b.col;
  });
  // Of equal places keep the last one set: walk backwards, keeping the first seen.
  auto sameSpot = [](const Cell& a, const Cell& b) { return a.row == b.row && a.col == b.col; };
  std::size_t out = 0;
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    if (i + 1 < cells_.size() && sameSpot(cells_[i], cells_[i + 1])) continue;
    cells_[out++] = cells_[i];
  }
  cells_.resize(out);
  cells_.shrink_to_fit();
  strings_.shrink_to_fit();

  // rowStart_[r] is the index of the first cell of row r or later; one more entry ends the last row.
  const uint32_t rows = cells_.empty() ? 0 : cells_.back().row;
  rowStart_.assign(rows + 2, 0);
  std::size_t i = 0;
  for (uint32_t r = 0; r <= rows + 1; ++r) {
    while (i < cells_.size() && cells_[i].row < r) ++i;
    rowStart_[r] = static_cast<uint32_t>(i);
  }
  finished_ = true;
}

CellValue SheetData::value(uint32_t row, uint32_t col) const {
  if (!finished_) throw std::logic_error("SheetData::value() before finish()");
  CellValue v;
  if (row == 0 || col == 0 || col > kMaxCol || std::size_t{row} + 1 >= rowStart_.size()) return v;
  const auto first = cells_.begin() + rowStart_[row];
  const auto last = cells_.begin() + rowStart_[row + 1];
  const auto it = std::lower_bound(first, last, col, [](const Cell& c, uint32_t k) { return c.col < k; });
  if (it == last || it->col != col) return v;
  v.kind = it->kind;
  if (it->kind == CellKind::Text) {
    v.text = strings_[it->stringIndex];
  } else {
    v.number = it->number;
    v.isDate = it->isDate;
  }
  return v;
}

uint32_t SheetData::lastColumn(uint32_t row) const {
  if (!finished_) throw std::logic_error("SheetData::lastColumn() before finish()");
  if (row == 0 || std::size_t{row} + 1 >= rowStart_.size() || rowStart_[row] == rowStart_[row + 1]) return 0;
  return cells_[rowStart_[row + 1] - 1].col;
}

uint32_t SheetData::lastRow() const {
  if (finished_) return cells_.empty() ? 0 : cells_.back().row;
  uint32_t last = 0;
  for (const Cell& c : cells_) last = std::max(last, c.row);
  return last;
}

}  // namespace gz::sheet
