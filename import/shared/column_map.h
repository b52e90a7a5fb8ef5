// The column map: first-row title -> 1-based column number, and the check
// that a sheet carries the titles an import cannot do without.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "codes/code_map.h"

namespace gz::sheet {
class Workbook;
}

namespace gz::imp {

class ColumnMap {
 public:
  // The column of `title`, 0 when the sheet has none. An absent title is
  // added with 0, so a lookup never fails and 0 always means "no column".
  int32_t lookup(std::string_view title);
  void set(std::string title, int32_t column);  // replaces an earlier column
  void clear() { map_.clear(); }
  std::size_t size() const { return map_.size(); }

 private:
  // Titles are compared byte for byte: nothing is trimmed or folded.
  std::map<std::string, int32_t, codes::ByteOrder> map_;
};

// Enters the titles of row 1 from column 1 on, up to the first empty title.
// A title standing in two columns keeps the later (right-hand) one. Returns
// the first column whose title the file held as malformed text, 0 when none:
// such a sheet cannot be imported, since no title of it can be trusted.
[[nodiscard]] int32_t ReadColumnTitles(const sheet::Workbook& book, ColumnMap& columns);

// The import-pane line for an unreadable title: 第1行第3列的标题含无法识别的文字
std::string unreadableTitleLine(int32_t column);

// True when the name, birth-date, work-start and personal-status titles all
// have a column (looked up in that order).
bool layoutAccepted(ColumnMap& columns);

}  // namespace gz::imp
