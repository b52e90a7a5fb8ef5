// The stages that choose and read the sheet of a run: open the workbook at
// the requested (or active) sheet and recognise its layout; when the layout
// is refused, find the other worksheets whose header passes and offer them
// to the front end. And after the rows, the hidden rows that were read.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "import/run/run_stages.h"

namespace gz::imp {

// Open: the sheet `sheet` asks for, read through `open`, or the outcome
// (WorkbookUnreadable) with the reason and its kind when it cannot be read.
OpenedWorkbook openWorkbookFile(const std::string& pathUtf8, const SheetOpener& open, const sheet::SheetRequest& sheet);

// The sheet a run reads and its layout (none when refused).
struct SheetRead {
  OpenedWorkbook opened;
  std::optional<SheetLayout> layout;
  TitleSearch search;
  int32_t unreadableTitle = 0;
  bool titlesChosen = false;   // the layout is the operator's mapping of the titles
  bool titlesSettled = false;  // the operator's choice was applied or asked for
};
// Reads the requested sheet into `read` and recognises its layout (the
// front end hears the workbook's notice and an unreadable title). A sheet
// refused whose workbook has other worksheets with a usable header offers
// them, one at a time, to the front end; one taken is read instead. The
// outcome ends the run: the workbook could not be read, or the layout is
// refused (naming the other sheets that have the titles).
std::optional<ImportOutcome> readRunSheet(const ImportRequest& request, const SheetOpener& open, ColumnMap& columns,
                                          Frontend& frontend, SheetRead& read);

// The names the header is searched by: the operator's other names, and the
// titles chosen ahead as names of their fields.
TitleNames namesForSearch(const ImportRequest& request);

// The titles the operator chooses, once the sheet is read. Chosen ahead
// (`request.titleChoices`), they are applied to the header: row 1 where it
// has the required titles, else the rows the search found or that came
// closest. Otherwise a front end that maps titles is asked where the header
// lacks a required title or has one only under a built-in other name. A
// mapping with every required field makes the layout (`titlesChosen`). The
// outcome ends the run: a chosen title the header lacks, or the question
// about a header found cancelled.
std::optional<ImportOutcome> settleTitles(SheetRead& read, const ImportRequest& request, ColumnMap& columns,
                                          Frontend& frontend);

// The other worksheets of `book` (read from `pathUtf8`) whose first row has
// the required titles or whose first rows hold a header the search finds.
// Only the top rows of each are read; a sheet that cannot be read is passed over.
std::vector<OtherSheet> otherSheetsWithTitles(const std::string& pathUtf8, const sheet::Workbook& book,
                                              const SheetOpener& open, const TitleNames& names);

// The rows from `firstRow` to `lastRow` the file marks hidden, but for those
// left out (`skipped`).
std::vector<int32_t> hiddenRowsIn(const sheet::Workbook& book, int32_t firstRow, int32_t lastRow,
                                  const std::set<int32_t>& skipped);

}  // namespace gz::imp
