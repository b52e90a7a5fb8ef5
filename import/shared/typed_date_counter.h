// Counts, per date column, the cells whose plain number the run read as a
// date the way a clerk typed it (1965.03 as March 1965, 19650301), so the
// import pane can say so once at the end of the rows instead of nobody
// being told.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sheet/model/cell_forms.h"

namespace gz::imp {

class TypedDateCounter {
 public:
  // Counts a cell of the column titled `title` (GB 18030) read from `source`;
  // sources other than the typed-number ones are not counted.
  void count(std::string_view title, sheet::DateSource source);
  // Counts in every cell `other` counted.
  void add(const TypedDateCounter& other);

  // One line per column title and kind, in the order first met (GB 18030):
  // 出生年月按“年.月”读取: 12个单元格, 参加工作时间按“年月日”数字读取: 3个单元格.
  std::vector<std::string> lines() const;
  bool empty() const { return entries_.empty(); }

 private:
  struct Entry {
    std::string title;
    sheet::DateSource source;
    int cells = 0;
  };
  std::vector<Entry> entries_;
};

}  // namespace gz::imp
