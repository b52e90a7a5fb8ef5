#include "import/reports/check_report.h"

#include "import/shared/texts.h"
#include "import/steps/person_checks.h"
#include "sheet/xlsx_writer.h"

namespace gz::imp {

using sheet::textCell;

namespace {

uint32_t fillOf(const RowResults& results, std::size_t i) {
  switch (results.fate(i)) {
    case RowFate::NotImported: return kFillNotImported;
    case RowFate::Skip: return kFillSkipped;
    case RowFate::Import:
    case RowFate::Update: break;
  }
  return results.warned(i) ? kFillWarned : sheet::kNoFill;
}

}  // namespace

sheet::CellValue reportCell(const RowResults& results, std::size_t i, uint32_t column) {
  sheet::CellValue v = results.cell(i, column);
  const auto idColumn =
      static_cast<uint32_t>(results.layout().sourceColumns[static_cast<std::size_t>(ResultField::IdCard)]);
  if (column != idColumn || v.kind != sheet::CellKind::Number) return v;
  // A number the import stores as its digits goes back as those digits in
  // text, which a spreadsheet would otherwise show as 1.10101E+14. A number
  // that lost digits stays as it is, so that it is still refused until the
  // department types it again.
  db::Value stored;
  std::string digits;
  if (readIdCardCell(v, stored, digits) == IdCellRead::Ok && std::holds_alternative<std::string>(stored))
    return textCell(digits);
  return v;
}

void writeCheckReport(const std::string& pathUtf8, const RowResults& results) {
  const std::size_t width = results.layout().titles.size();
  const auto row = [&](std::size_t r, std::vector<sheet::CellValue>& cells) -> uint32_t {
    if (r == 0) {
      cells = results.layout().titles;
      cells.push_back(textCell(texts::kReportResultTitle));
      cells.push_back(textCell(texts::kReportProblemsTitle));
      return sheet::kNoFill;
    }
    const std::size_t i = r - 1;
    for (std::size_t c = 1; c <= width; ++c) cells.push_back(reportCell(results, i, static_cast<uint32_t>(c)));
    cells.push_back(textCell(fateText(results.fate(i))));
    cells.push_back(textCell(results.problems(i)));
    return fillOf(results, i);
  };
  sheet::writeXlsx(pathUtf8, texts::kReportSheetName, results.size() + 1, row);
}

}  // namespace gz::imp
