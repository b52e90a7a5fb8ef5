#include "import/run/run_stages.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/workbook.h"

namespace gz::imp {
namespace {

std::vector<sheet::CellValue> rowCells(const sheet::Workbook& book, int32_t row, uint32_t width) {
  std::vector<sheet::CellValue> cells;
  cells.reserve(width);
  for (uint32_t col = 1; col <= width; ++col) cells.push_back(book.value(static_cast<uint32_t>(row), col));
  return cells;
}

}  // namespace

void RejectCollector::rowDone(const RowOutcome& row) {
  next_.rowDone(row);
  if (!row.stored) notStored_.emplace_back(row.row, row.reason);
}

RejectedRows collectRejects(const sheet::Workbook& book, const RejectCollector& collected, int32_t resumeRow,
                            TitleRows titleRows) {
  RejectedRows out;
  if (collected.notStored().empty()) return out;
  // Cells right of the titles are read by no step.
  out.titles = titleCellsAsRead(book.sheet(), titleRows);
  const auto width = static_cast<uint32_t>(out.titles.size());
  for (const auto& [row, reason] : collected.notStored()) {
    if (resumeRow != 0 && row >= resumeRow) break;
    out.rows.push_back({row, rowCells(book, row, width), reason});
  }
  return out;
}

}  // namespace gz::imp
