#include "import/shared/title_search.h"

#include <algorithm>
#include <array>
#include <map>

#include "import/shared/texts.h"
#include "sheet/model/cell_forms.h"

namespace gz::imp {
namespace {

constexpr std::array kRequired = {texts::kTitleName, texts::kTitleBirth, texts::kTitleJoinWork, texts::kTitleStatus};

struct Candidate {
  TitleSearch read;
  int requiredFound = 0;
};

bool isEmptyRow(const sheet::SheetData& data, int32_t row) { return data.lastColumn(static_cast<uint32_t>(row)) == 0; }

// The row a title of `rows` stands in: the lower one unless its cell is empty.
int32_t rowOfTitle(const sheet::SheetData& data, TitleRows rows, uint32_t col) {
  if (rows.first == rows.last) return rows.first;
  const bool lowerEmpty = sheet::cellText(data.value(static_cast<uint32_t>(rows.last), col)).empty();
  return lowerEmpty ? rows.first : rows.last;
}

// Of the cells that stand for one title, an exact title wins over a form,
// a form over another name; among equals the right-hand column, as in row 1.
void keepBetter(std::map<std::string_view, FoundTitle, codes::ByteOrder>& best, FoundTitle found) {
  const auto it = best.find(found.title);
  if (it == best.end() || found.match <= it->second.match) best.insert_or_assign(found.title, std::move(found));
}

Candidate readCandidate(const sheet::SheetData& data, TitleRows rows, const TitleNames& names) {
  Candidate c;
  c.read.rows = rows;
  const std::vector<sheet::CellValue> cells = titleCellsAsRead(data, rows);
  std::map<std::string_view, FoundTitle, codes::ByteOrder> best;
  for (uint32_t col = 1; col <= cells.size(); ++col) {
    std::string text = sheet::cellText(cells[col - 1]);
    if (text.empty()) continue;
    const std::vector<RecognisedTitle> recognised = names.recognise(text);
    if (recognised.empty()) {
      c.read.entries.emplace_back(std::move(text), static_cast<int32_t>(col));
      continue;
    }
    for (const RecognisedTitle& r : recognised)
      keepBetter(best,
                 {r.title, rowOfTitle(data, rows, col), static_cast<int32_t>(col), text, r.match, r.operatorsName});
  }
  for (auto& [title, found] : best) {
    c.read.entries.emplace_back(std::string(title), found.column);
    c.read.titles.push_back(std::move(found));
  }
  std::sort(c.read.titles.begin(), c.read.titles.end(),
            [](const FoundTitle& a, const FoundTitle& b) { return a.column < b.column; });
  for (std::string_view title : kRequired) {
    if (best.count(title) != 0) ++c.requiredFound;
    else c.read.missing.push_back(title);
  }
  c.read.found = c.read.missing.empty();
  return c;
}

}  // namespace

std::vector<sheet::CellValue> titleCellsAsRead(const sheet::SheetData& data, TitleRows rows) {
  const auto first = static_cast<uint32_t>(rows.first);
  const auto last = static_cast<uint32_t>(rows.last);
  const uint32_t width = std::max(data.lastColumn(first), data.lastColumn(last));
  std::vector<sheet::CellValue> cells;
  cells.reserve(width);
  for (uint32_t col = 1; col <= width; ++col) {
    sheet::CellValue lower = data.value(last, col);
    cells.push_back(lower.kind == sheet::CellKind::Empty ? data.value(first, col) : std::move(lower));
  }
  return cells;
}

std::vector<FoundTitle> titlesIn(const sheet::SheetData& data, TitleRows rows, const TitleNames& names) {
  return readCandidate(data, rows, names).read.titles;
}

TitleSearch searchTitles(const sheet::SheetData& data, const TitleNames& names) {
  Candidate closest;
  closest.read.missing.assign(kRequired.begin(), kRequired.end());
  for (int32_t top = 1; top <= kTitleSearchRows; ++top) {
    if (isEmptyRow(data, top)) continue;
    std::vector<TitleRows> tries{{top, top}};
    // Two rows only where both hold something: else it is one of them alone.
    if (top < kTitleSearchRows && !isEmptyRow(data, top + 1)) tries.push_back({top, top + 1});
    for (const TitleRows rows : tries) {
      Candidate c = readCandidate(data, rows, names);
      if (c.read.found && rows.first != rows.last) {
        // A line above the header (填报单位: …) adds nothing: the lower row alone is the header.
        Candidate lower = readCandidate(data, {rows.last, rows.last}, names);
        if (lower.read.found) return std::move(lower.read);
      }
      if (c.read.found) return std::move(c.read);
      // Of rows that come as close, one row alone names them more plainly.
      const bool closer = c.requiredFound > closest.requiredFound ||
                          (c.requiredFound == closest.requiredFound && c.requiredFound > 0 &&
                           closest.read.rows.first != closest.read.rows.last && rows.first == rows.last);
      if (closer) closest = std::move(c);
    }
  }
  closest.read.entries.clear();
  closest.read.titles.clear();
  return std::move(closest.read);
}

}  // namespace gz::imp
