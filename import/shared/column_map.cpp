#include "import/shared/column_map.h"

#include <limits>

#include "import/shared/texts.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/workbook.h"

namespace gz::imp {

int32_t ColumnMap::lookup(std::string_view title) {
  auto it = map_.find(title);
  if (it == map_.end()) it = map_.emplace(std::string(title), 0).first;
  return it->second;
}

void ColumnMap::set(std::string title, int32_t column) { map_.insert_or_assign(std::move(title), column); }

int32_t ReadColumnTitles(const sheet::Workbook& book, ColumnMap& columns) {
  int32_t firstUnreadable = 0;
  // The sheet storage holds at most 65535 columns; past them every cell is
  // empty, so the loop always ends at an empty title.
  for (uint32_t col = 1; col <= std::numeric_limits<uint16_t>::max(); ++col) {
    const sheet::CellValue cell = book.value(1, col);
    std::string title = sheet::cellText(cell);
    if (title.empty()) break;
    if (cell.unreadable && firstUnreadable == 0) firstUnreadable = static_cast<int32_t>(col);
    columns.set(std::move(title), static_cast<int32_t>(col));
  }
  return firstUnreadable;
}

std::string unreadableTitleLine(int32_t column) {
  std::string line(texts::kTitleUnreadablePrefix);
  line.append(std::to_string(column)).append(texts::kTitleUnreadableSuffix);
  return line;
}

bool layoutAccepted(ColumnMap& columns) {
  for (std::string_view title : {texts::kTitleName, texts::kTitleBirth, texts::kTitleJoinWork, texts::kTitleStatus})
    if (columns.lookup(title) == 0) return false;
  return true;
}

}  // namespace gz::imp
