#include "import/run/stage_sheet.h"

#include <utility>

#include "import/shared/column_map.h"
#include "import/shared/run_texts.h"
#include "sheet/model/workbook_error.h"

namespace gz::imp {
namespace {

void recognise(SheetRead& read, const ImportRequest& request, ColumnMap& columns, Frontend& frontend) {
  const sheet::Workbook& book = *read.opened.book;
  if (!book.notice().empty()) frontend.workbookNotice(book.notice());
  read.search = TitleSearch{};
  read.layout = recogniseLayout(book, columns, read.unreadableTitle, namesForSearch(request), read.search);
  if (read.unreadableTitle != 0) frontend.titleUnreadable(read.unreadableTitle);
}

bool headerPasses(const sheet::Workbook& book, const TitleNames& names) {
  ColumnMap columns;
  if (ReadColumnTitles(book, columns) == 0 && layoutAccepted(columns)) return true;
  return searchTitles(book.sheet(), names).found;
}

}  // namespace

OpenedWorkbook openWorkbookFile(const std::string& pathUtf8, const SheetOpener& open,
                                const sheet::SheetRequest& sheet) {
  OpenedWorkbook out;
  try {
    out.book = open(pathUtf8, sheet);
  } catch (const sheet::WorkbookError& e) {
    // The reason alone: the message names the file itself, once.
    out.failure = endedBeforeWriting(RunEnd::WorkbookUnreadable, unreadableWorkbookMessage(pathUtf8, e.reason()));
    out.failure.workbookFault = e.fault();
  }
  return out;
}

std::vector<OtherSheet> otherSheetsWithTitles(const std::string& pathUtf8, const sheet::Workbook& book,
                                              const SheetOpener& open, const TitleNames& names) {
  std::vector<OtherSheet> found;
  const std::vector<std::string>& sheetNames = book.sheetNames();
  for (std::size_t i = 0; i < sheetNames.size(); ++i) {
    if (i == book.sheetIndex()) continue;
    sheet::SheetRequest look;
    look.number = static_cast<uint32_t>(i + 1);
    look.rowLimit = kTitleSearchRows;
    try {
      if (headerPasses(*open(pathUtf8, look), names)) found.push_back(OtherSheet{look.number, sheetNames[i]});
    } catch (const sheet::WorkbookError&) {
      // A sheet that cannot be read has no header to offer.
    }
  }
  return found;
}

std::optional<ImportOutcome> readRunSheet(const ImportRequest& request, const SheetOpener& open, ColumnMap& columns,
                                          Frontend& frontend, SheetRead& read) {
  read.opened = openWorkbookFile(request.workbookPath, open, request.sheet);
  if (!read.opened.book) return std::move(read.opened.failure);
  recognise(read, request, columns, frontend);
  if (read.layout || !request.titleChoices.empty()) {
    if (std::optional<ImportOutcome> ended = settleTitles(read, request, columns, frontend)) return ended;
    if (read.layout) return std::nullopt;
  }
  std::vector<OtherSheet> others =
      otherSheetsWithTitles(request.workbookPath, *read.opened.book, open, request.titleNames);
  for (const OtherSheet& other : others) {
    if (!frontend.otherSheetHasTitles(other)) continue;
    sheet::SheetRequest chosen;
    chosen.number = other.number;
    read.opened = openWorkbookFile(request.workbookPath, open, chosen);
    if (!read.opened.book) return std::move(read.opened.failure);
    columns.clear();
    recognise(read, request, columns, frontend);
    if (read.layout) return settleTitles(read, request, columns, frontend);
    break;
  }
  // No other sheet taken: the operator may map the titles of the one read.
  if (std::optional<ImportOutcome> ended = settleTitles(read, request, columns, frontend)) return ended;
  if (read.layout) return std::nullopt;
  ImportOutcome out = layoutRejected(read.search, read.unreadableTitle != 0);
  out.sheetsWithTitles = std::move(others);
  return out;
}

std::vector<int32_t> hiddenRowsIn(const sheet::Workbook& book, int32_t firstRow, int32_t lastRow,
                                  const std::set<int32_t>& skipped) {
  std::vector<int32_t> rows;
  for (const uint32_t row : book.sheet().hiddenRows()) {
    const auto r = static_cast<int32_t>(row);
    if (r >= firstRow && r <= lastRow && !skipped.contains(r)) rows.push_back(r);
  }
  return rows;
}

}  // namespace gz::imp
