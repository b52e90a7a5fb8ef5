#include "import/reports/reject_workbook.h"

#include "import/shared/texts.h"
#include "sheet/xlsx_writer.h"

namespace gz::imp {

using sheet::textCell;

namespace {}  // namespace

void writeRejectWorkbook(const std::string& pathUtf8, const RejectedRows& rejects) {
  std::vector<std::vector<sheet::CellValue>> rows;
  rows.reserve(rejects.rows.size() + 1);
  rows.push_back(rejects.titles);
  rows.back().push_back(textCell(texts::kRejectReasonTitle));
  for (const RejectedRow& r : rejects.rows) {
    rows.push_back(r.cells);
    rows.back().resize(rejects.titles.size());
    rows.back().push_back(textCell(r.reason));
  }
  sheet::writeXlsx(pathUtf8, texts::kRejectsSheetName, rows);
}

}  // namespace gz::imp
