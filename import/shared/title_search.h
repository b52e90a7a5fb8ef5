// The search for a sheet's header when row 1 does not hold the titles the
// import needs: rosters as departments send them carry a banner or a line
// "填报单位: …" above the header, or split it over two rows under group
// titles. The first rows are searched for a row, or two rows read together,
// whose titles, read as people write them, include every required title.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "import/shared/step_context.h"
#include "import/shared/title_names.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/sheet_data.h"

namespace gz::imp {

// How many rows from the top may hold the header.
inline constexpr int32_t kTitleSearchRows = 20;

// The rows of a header: one row, or two read together.
struct TitleRows {
  int32_t first = kTitleRow;
  int32_t last = kTitleRow;
  int32_t firstDataRow() const { return last + 1; }
};

// A title a step reads, where the header has it.
struct FoundTitle {
  std::string_view title;  // as the steps look it up
  int32_t row = 0;
  int32_t column = 0;
  std::string asRead;  // the cell's text, GB 18030
  TitleMatch match = TitleMatch::Exact;
  bool operatorsName = false;  // the match is one of the operator's own other names
};

struct TitleSearch {
  bool found = false;
  // Found: the header's rows. Not found: the rows that came closest (most
  // required titles; row 1 when none has any).
  TitleRows rows;
  // Found: title -> column for the column map, every title of the header
  // (a title a step reads under the name the step looks up).
  std::vector<std::pair<std::string, int32_t>> entries;
  std::vector<FoundTitle> titles;  // found: the titles the steps read, by column
  std::vector<std::string_view> missing;  // not found: the required titles `rows` lacks
};

// A header found by the search, for the operator to confirm before anything
// is written.
struct FoundHeader {
  std::string sheetName;  // GB 18030
  TitleRows rows;
  std::vector<FoundTitle> titles;
  int32_t firstDataRow = kFirstDataRow;
  int32_t lastDataRow = 0;  // below firstDataRow when the sheet has no data rows
};

// Searches rows 1 to kTitleSearchRows: each row on its own, then with the
// row below it. Titles are read up to the last non-empty cell of the rows.
TitleSearch searchTitles(const sheet::SheetData& data, const TitleNames& names);

// The titles the steps read that `rows` hold, by column, as the search reads
// them; also for rows that lack a required title.
std::vector<FoundTitle> titlesIn(const sheet::SheetData& data, TitleRows rows, const TitleNames& names);

// The titles of `rows` as read: per column the lower cell, or the upper one
// where the lower is empty (a title merged over both rows keeps its text in
// the upper cell, a group title over several columns stands above the
// titles), up to the last non-empty cell of either row.
std::vector<sheet::CellValue> titleCellsAsRead(const sheet::SheetData& data, TitleRows rows);

}  // namespace gz::imp
