#include "import/column_map.h"
#include "import/run_stages.h"

namespace gz::imp {
namespace {

int countDataRows(const sheet::Workbook& book, const SheetColumns& columns) {
  int32_t row = kFirstDataRow;
  while (!nameCell(book, columns, row).empty()) ++row;
  return row - kFirstDataRow;
}

}  // namespace

std::optional<SheetLayout> recogniseLayout(const sheet::Workbook& book, ColumnMap& columns, int32_t& unreadableTitle) {
  unreadableTitle = ReadColumnTitles(book, columns);
  if (unreadableTitle != 0 || !layoutAccepted(columns)) return std::nullopt;
  SheetLayout layout{SheetColumns::resolve(columns)};
  layout.dataRows = countDataRows(book, layout.columns);
  return layout;
}

}  // namespace gz::imp
