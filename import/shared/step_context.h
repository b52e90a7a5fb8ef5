// What the steps of one data row share: the open sheet, the columns found
// in its first row, the code map, the database and the front end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gz::sheet {
class Workbook;
}
namespace gz::codes {
class CodeMap;
}
namespace gz::db {
class Connection;
struct Statement;
}  // namespace gz::db

namespace gz::imp {

class ColumnMap;
class PersonRewrite;
class RowEvents;
enum class HistoryKind;
struct StoredValues;

// Row 1 of a sheet holds the titles; the data rows follow from row 2.
inline constexpr int32_t kTitleRow = 1;
inline constexpr int32_t kFirstDataRow = 2;

// The column of every title a step reads, 0 where the sheet has none. The
// column map does not change while rows are imported, so the titles are
// looked up once per run instead of once per row.
struct SheetColumns {
  int32_t name = 0;
  int32_t serial = 0;
  int32_t idCard = 0;
  int32_t seniority = 0;  // the first of the four bracket forms the sheet has
  std::string_view seniorityTitle;
  int32_t sex = 0;
  int32_t ethnic = 0;
  int32_t birth = 0;
  int32_t workStart = 0;  // "工作时间", else "参加工作时间"
  std::string_view workStartTitle;
  int32_t status = 0;
  int32_t deductYears = 0;
  int32_t collegeYears = 0;
  int32_t education = 0;
  int32_t position = 0;
  int32_t assessment = 0;

  static SheetColumns resolve(ColumnMap& map);
};

struct StepContext {
  const sheet::Workbook& book;
  const SheetColumns& columns;
  codes::CodeMap& codes;
  db::Connection& conn;
  RowEvents& frontend;  // the front end, or what the writer keeps for it
  // Where the steps put down what they store for the row in hand, when the
  // run keeps the rows' results; null otherwise.
  StoredValues* stored = nullptr;
  PersonRewrite* rewrite = nullptr;  // for a person an update rewrites: what its history steps write
};

// Runs a history step's inserts, in an update only those not stored already
// (PersonRewrite). Says for each whether it is stored.
std::vector<bool> writeHistoryRows(const StepContext& ctx, const std::vector<db::Statement>& inserts);

// The first cell of `row`, in the columns the row's steps read, that the file
// held as malformed text, as the reason the row's person is not imported:
// 姓名"王\uFFFD"含无法识别的文字. Empty when every such cell is readable.
std::string unreadableCellReason(const StepContext& ctx, int32_t row);

// What a history step did with its cell.
struct HistoryCounts {
  int stored = 0;    // rows the database accepted
  int reported = 0;  // lines written to the error pane
  HistoryCounts& operator+=(const HistoryCounts& o) {
    stored += o.stored;
    reported += o.reported;
    return *this;
  }
};

// The person name of a data row: the cell text under "姓名"; empty where the
// data ends, at an empty name or a totals or signature line (roster_footer.h).
std::string nameCell(const sheet::Workbook& book, const SheetColumns& columns, int32_t row);

// The lines of a history cell: its text split at CR, LF and CR LF; none when
// the sheet has no such column. The lines are views into the sheet's text,
// or into the text kept here for a cell that holds no text, so a row's
// history lines cost no copy each.
class HistoryCell {
 public:
  HistoryCell(const StepContext& ctx, int32_t row, int32_t column);
  HistoryCell(const HistoryCell&) = delete;
  HistoryCell& operator=(const HistoryCell&) = delete;

  const std::vector<std::string_view>& lines() const { return lines_; }

 private:
  std::string converted_;  // the text of a cell that is not a text cell
  std::vector<std::string_view> lines_;
};

// A history line whose name has no code: told to the front end and counted
// as reported.
void reportNoCode(const StepContext& ctx, HistoryKind kind, std::string_view personName, std::string_view name,
                  HistoryCounts& counts);

}  // namespace gz::imp
