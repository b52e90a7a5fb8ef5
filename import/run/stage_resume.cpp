#include "import/run/run_stages.h"
#include "import/shared/run_texts.h"

namespace gz::imp {

std::optional<ImportOutcome> checkStartRow(int32_t firstRow, int32_t firstDataRow, int dataRows) {
  if (firstRow == firstDataRow) return std::nullopt;
  if (firstRow > firstDataRow && firstRow - firstDataRow < dataRows) return std::nullopt;
  return endedBeforeWriting(RunEnd::StartRowOutside, startRowOutsideMessage(firstRow, firstDataRow, dataRows));
}

void noteResumeRow(ImportOutcome& out, int32_t firstRow, int settled, bool overwrite,
                   const std::set<int32_t>& skipped) {
  if (out.end != RunEnd::Aborted && out.end != RunEnd::Failed) return;
  // An abort after the last row leaves nothing to continue.
  if (settled >= out.rowsTotal) return;
  int32_t row = firstRow;
  for (int passed = 0; passed < settled; ++row)
    if (skipped.count(row) == 0) ++passed;
  out.resumeRow = row;
  // The deletion is committed with the first rows; without any, overwriting
  // again from the first row is still right.
  out.resumeByAppending = overwrite && settled > 0;
}

}  // namespace gz::imp
