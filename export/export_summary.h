// What an export wrote and what of it cannot come back through the import,
// counted by column, and the sentences that tell the operator.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gz::exp {

// The columns of the exported sheet, in their order.
enum class Column : uint8_t {
  Serial,
  Name,
  Sex,
  Ethnic,
  IdCard,
  Birth,
  WorkStart,
  Status,
  Seniority,
  DeductYears,
  CollegeYears,
  Education,
  Position,
  Assessment,
  Department,  // only when the departments below are exported too
};
inline constexpr std::size_t kColumnCount = static_cast<std::size_t>(Column::Department) + 1;

// The title of a column (GB 18030), as the import looks it up.
std::string_view columnTitle(Column c);

struct ColumnTally {
  int codesWithoutText = 0;  // codes the code file has no text for, written as the code itself
  int notComingBack = 0;     // values (or history rows) the import would not store as they are
};

struct ExportSummary {
  int people = 0;
  int historyRows = 0;
  int peopleLeftOut = 0;  // without a name the import reads as a person: not written
  bool codeFileMissing = false;
  std::array<ColumnTally, kColumnCount> columns{};

  ColumnTally& operator[](Column c) { return columns[static_cast<std::size_t>(c)]; }
  const ColumnTally& operator[](Column c) const { return columns[static_cast<std::size_t>(c)]; }
};

// The lines that tell the operator what was written to `pathUtf8` and what
// will not come back, one per column concerned (UTF-8).
std::vector<std::string> summaryLines(const ExportSummary& s, const std::string& pathUtf8);

}  // namespace gz::exp
