#include "import/reports/row_results.h"

#include <algorithm>
#include <numeric>

#include "import/shared/texts.h"

namespace gz::imp {

std::string_view fateText(RowFate fate) {
  switch (fate) {
    case RowFate::Import: return texts::kFateImport;
    case RowFate::Update: return texts::kFateUpdate;
    case RowFate::Skip: return texts::kFateSkip;
    case RowFate::NotImported: break;
  }
  return texts::kFateNotImported;
}

std::string columnLetters(int32_t column) {
  std::string letters;
  for (int32_t n = column; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), char('A' + (n - 1) % 26));
  return letters;
}

void RowResults::clear() {
  layout_ = {};
  entries_.clear();
  offsets_.clear();
  cells_.clear();
  pool_.clear();
}

uint32_t RowResults::keep(std::string_view text) {
  pool_.append(text);
  return static_cast<uint32_t>(pool_.size());
}

void RowResults::add(const ResultRow& row) {
  Entry e;
  e.row = row.row;
  e.fate = row.fate;
  e.warned = row.warned;
  e.problemFields = row.problemFields;
  e.textsAt = static_cast<uint32_t>(offsets_.size());
  offsets_.push_back(static_cast<uint32_t>(pool_.size()));
  for (const std::string& v : row.values) offsets_.push_back(keep(v));
  uint32_t end = static_cast<uint32_t>(pool_.size());
  for (std::size_t p = 0; p < row.problems.size(); ++p) {
    if (p != 0) keep("\n");
    end = keep(row.problems[p]);
  }
  offsets_.push_back(end);

  e.cellsAt = static_cast<uint32_t>(cells_.size());
  const std::size_t width = layout_.titles.size();
  for (std::size_t c = 0; c < width; ++c) {
    PackedCell packed;
    if (c < row.cells.size()) {
      const sheet::CellValue& v = row.cells[c];
      packed.kind = v.kind;
      packed.isDate = v.isDate;
      packed.unreadable = v.unreadable;
      packed.number = v.number;
      packed.textAt = static_cast<uint32_t>(pool_.size());
      packed.textBytes = static_cast<uint32_t>(v.text.size());
      keep(v.text);
    }
    cells_.push_back(packed);
  }
  entries_.push_back(e);
}

void RowResults::finish() {
  // Skipped rows are added before the rows the run went through.
  std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.row < b.row; });
}

std::string_view RowResults::text(std::size_t i, std::size_t k) const {
  const uint32_t at = entries_[i].textsAt + static_cast<uint32_t>(k);
  return std::string_view(pool_).substr(offsets_[at], offsets_[at + 1] - offsets_[at]);
}

std::string_view RowResults::value(std::size_t i, ResultField field) const {
  return text(i, static_cast<std::size_t>(field));
}

std::string_view RowResults::problems(std::size_t i) const { return text(i, kResultFields); }

bool RowResults::needsAttention(std::size_t i) const {
  return entries_[i].fate == RowFate::NotImported || entries_[i].warned;
}

bool RowResults::fieldHasProblem(std::size_t i, ResultField field) const {
  return (entries_[i].problemFields >> static_cast<unsigned>(field)) & 1U;
}

sheet::CellValue RowResults::cell(std::size_t i, uint32_t column) const {
  sheet::CellValue v;
  if (column == 0 || column > layout_.titles.size()) return v;
  const PackedCell& p = cells_[entries_[i].cellsAt + column - 1];
  v.kind = p.kind;
  v.isDate = p.isDate;
  v.unreadable = p.unreadable;
  v.number = p.number;
  v.text.assign(pool_, p.textAt, p.textBytes);
  return v;
}

std::string RowResults::sources(std::size_t i) const {
  std::string out;
  for (std::size_t f = 0; f < kResultFields; ++f) {
    const int32_t column = layout_.sourceColumns[f];
    if (column == 0) continue;
    if (!out.empty()) out.append(texts::kListSeparator);
    out.append(layout_.fieldTitles[f]).append(" ").append(columnLetters(column));
    out.append(std::to_string(entries_[i].row));
  }
  return out;
}

int RowResults::count(RowFate fate) const {
  return static_cast<int>(
      std::count_if(entries_.begin(), entries_.end(), [fate](const Entry& e) { return e.fate == fate; }));
}

int RowResults::rowsWarned() const {
  return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.warned; }));
}

}  // namespace gz::imp
