// Fills the rows' results (import/reports/row_results.h) from what the run does: each
// row's final outcome as the writer settles it, with what its steps stored,
// and the rows left out as people the department has. The workbook must stay
// open while rows come in: each row's cells are read as the row is done.
#pragma once

#include <vector>

#include "import/reports/row_results.h"
#include "import/shared/frontend.h"
#include "import/shared/outcome.h"
#include "import/shared/step_context.h"
#include "import/shared/title_search.h"

namespace gz::codes {
class CodeMap;
}
namespace gz::sheet {
class Workbook;
}

namespace gz::imp {

class ResultsCollector final : public RowSink {
 public:
  // Clears `results` and sets its layout from the sheet's titles and columns.
  ResultsCollector(RowResults& results, RowSink& next, const sheet::Workbook& book, const SheetColumns& columns,
                   TitleRows titleRows, const codes::CodeMap& codes);

  // Passes the row on, then adds it.
  void rowDone(const RowOutcome& row) override;
  // The rows left out as people the department has (or as repeats of an earlier row).
  void rowsSkipped(const std::vector<DuplicateRow>& rows);
  // After the last row: the rows in sheet order.
  void finish() { results_.finish(); }

 private:
  ResultRow withCells(int32_t row) const;
  void addProblem(ResultRow& r, std::string text, bool warning) const;
  void fillValues(const RowOutcome& row, ResultRow& r) const;

  RowResults& results_;
  RowSink& next_;
  const sheet::Workbook& book_;
  const SheetColumns& columns_;
  const codes::CodeMap& codes_;
};

}  // namespace gz::imp
