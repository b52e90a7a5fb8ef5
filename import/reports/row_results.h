// The rows' results of one run: for every data row it went through, in sheet
// order, what the run does with it (导入, 更新, 跳过, 不导入), the values the
// run stores for the person, its history rows in short, each reason and
// warning of the row, and the row's cells as read. Filled by the run itself
// (import/reports/results_collector.h), read by the preview, the check report and
// the tests. Texts are GB 18030.
//
// Every text of every row lives in one pool and every cell in one array, so
// a sheet of 60,000 rows costs a few tens of megabytes, not a string object
// per value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/model/cell_value.h"

namespace gz::imp {

enum class RowFate : uint8_t {
  Import,       // 导入: a new person
  Update,       // 更新: a person of the department updated in place
  Skip,         // 跳过: left out as a person the department has
  NotImported,  // 不导入: nothing of the row is stored
};
std::string_view fateText(RowFate fate);

// The values shown for a row, in the order of the preview's columns.
enum class ResultField : uint8_t {
  Name,
  Serial,
  IdCard,
  Sex,
  Ethnic,
  Birth,
  WorkStart,
  Status,
  Seniority,
  DeductYears,
  CollegeYears,
  Education,
  Position,
  Assessment,
};
inline constexpr std::size_t kResultFields = 14;

// One row as the collector hands it over.
struct ResultRow {
  int32_t row = 0;
  RowFate fate = RowFate::NotImported;
  std::array<std::string, kResultFields> values;  // as stored; a row not imported shows its cells as read
  std::vector<std::string> problems;  // the reason first, then the warnings
  bool warned = false;                // some problem is a warning about a stored person
  uint32_t problemFields = 0;         // bit f set: a problem is about field f's cell
  std::vector<sheet::CellValue> cells;  // from column 1, as wide as the titles
};

class RowResults {
 public:
  // What holds for every row: the title row as read, the title shown for
  // each field and the sheet column it is read from (0 where the sheet has none).
  struct Layout {
    std::vector<sheet::CellValue> titles;
    std::array<std::string, kResultFields> fieldTitles;
    std::array<int32_t, kResultFields> sourceColumns{};
  };

  void clear();
  void setLayout(Layout layout) { layout_ = std::move(layout); }
  const Layout& layout() const { return layout_; }
  // Adds a row; rows may come in any order until finish() sorts them by sheet row.
  void add(const ResultRow& row);
  void finish();

  std::size_t size() const { return entries_.size(); }
  int32_t sheetRow(std::size_t i) const { return entries_[i].row; }
  RowFate fate(std::size_t i) const { return entries_[i].fate; }
  std::string_view value(std::size_t i, ResultField field) const;
  // Every reason and warning of the row, one per line.
  std::string_view problems(std::size_t i) const;
  // Not imported, or stored with warnings: a row the operator should look at.
  bool needsAttention(std::size_t i) const;
  bool warned(std::size_t i) const { return entries_[i].warned; }
  bool fieldHasProblem(std::size_t i, ResultField field) const;
  // The cell of `column` (from 1) as read; empty beyond the titles.
  sheet::CellValue cell(std::size_t i, uint32_t column) const;
  // The cells the row's values come from: 姓名 B5, 身份证号 C5, ...
  std::string sources(std::size_t i) const;

  int count(RowFate fate) const;
  int rowsWarned() const;

 private:
  static constexpr std::size_t kTexts = kResultFields + 1;  // the values, then the problems
  struct Entry {
    int32_t row = 0;
    RowFate fate = RowFate::NotImported;
    bool warned = false;
    uint32_t problemFields = 0;
    uint32_t textsAt = 0;  // kTexts + 1 offsets into pool_ from here: each text's start, then the last end
    uint32_t cellsAt = 0;  // the row's cells in cells_ from here
  };
  struct PackedCell {
    double number = 0;
    uint32_t textAt = 0;
    uint32_t textBytes = 0;
    sheet::CellKind kind = sheet::CellKind::Empty;
    bool isDate = false;
    bool unreadable = false;
  };
  std::string_view text(std::size_t i, std::size_t k) const;
  uint32_t keep(std::string_view text);

  Layout layout_;
  std::vector<Entry> entries_;
  std::vector<uint32_t> offsets_;
  std::vector<PackedCell> cells_;
  std::string pool_;
};

// The column's letters, as a sheet program names it: 1 is A, 27 is AA.
std::string columnLetters(int32_t column);

}  // namespace gz::imp
