#include "import/run/run_stages.h"
#include "import/shared/column_map.h"
#include "import/shared/run_texts.h"
#include "import/shared/texts.h"
#include "sheet/model/cell_forms.h"

namespace gz::imp {
namespace {

void countDataRows(const sheet::Workbook& book, SheetLayout& layout) {
  const int32_t first = layout.titleRows.firstDataRow();
  int32_t row = first;
  while (!nameCell(book, layout.columns, row).empty()) ++row;
  layout.dataRows = row - first;
  // A name that nameCell() did not take is a totals or signature line.
  const sheet::CellValue name = book.value(static_cast<uint32_t>(row), static_cast<uint32_t>(layout.columns.name));
  layout.footerName = sheet::cellText(name);
  if (!layout.footerName.empty()) layout.footerRow = row;
}

}  // namespace

std::optional<SheetLayout> recogniseLayout(const sheet::Workbook& book, ColumnMap& columns, int32_t& unreadableTitle,
                                           const TitleNames& names, TitleSearch& search) {
  unreadableTitle = ReadColumnTitles(book, columns);
  if (unreadableTitle != 0) return std::nullopt;
  SheetLayout layout;
  if (!layoutAccepted(columns)) {
    search = searchTitles(book.sheet(), names);
    if (!search.found) return std::nullopt;
    columns.clear();
    for (const auto& [title, column] : search.entries) columns.set(title, column);
    layout.titleRows = search.rows;
  }
  layout.columns = SheetColumns::resolve(columns);
  countDataRows(book, layout);
  return layout;
}

std::optional<SheetLayout> layoutByMapping(const sheet::Workbook& book, const TitleMapping& mapping,
                                           const std::vector<SheetTitle>& titles, ColumnMap& columns,
                                           TitleSearch& search) {
  fillColumns(mapping, titles, columns);
  search.rows = mapping.rows;
  search.titles = mappedTitles(mapping, titles);
  search.missing = mapping.missing();
  search.found = search.missing.empty();
  if (!search.found) return std::nullopt;
  SheetLayout layout;
  layout.titleRows = mapping.rows;
  layout.columns = SheetColumns::resolve(columns);
  countDataRows(book, layout);
  return layout;
}

ImportOutcome layoutRejected(const TitleSearch& search, bool titleUnreadable) {
  ImportOutcome out = endedBeforeWriting(RunEnd::LayoutRejected, std::string(texts::kMsgLayoutRejected));
  if (!titleUnreadable) out.detail = missingTitlesLine(search.rows, search.missing);
  return out;
}

FoundHeader foundHeader(const sheet::Workbook& book, const TitleSearch& search, const SheetLayout& layout) {
  FoundHeader header;
  header.sheetName = book.sheetName();
  header.rows = search.rows;
  header.titles = search.titles;
  header.firstDataRow = layout.titleRows.firstDataRow();
  header.lastDataRow = header.firstDataRow + layout.dataRows - 1;
  return header;
}

ImportOutcome titlesNotTaken(TitleRows rows) {
  ImportOutcome out = endedBeforeWriting(RunEnd::LayoutRejected, std::string(texts::kMsgLayoutRejected));
  out.detail = hasTitlesLine(rows);
  out.titlesNotTaken = true;
  return out;
}

}  // namespace gz::imp
