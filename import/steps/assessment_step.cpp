#include "import/steps/assessment_step.h"

#include <string>
#include <vector>

#include "codes/code_map.h"
#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "import/shared/frontend.h"
#include "import/shared/stored_values.h"
#include "import/steps/history_lines.h"
#include "import/steps/numbers.h"
#include "text/bytes.h"

namespace gz::imp {

HistoryCounts ImportAssessmentHistory(const StepContext& ctx, int32_t row, int64_t personId,
                                      std::string_view personName) {
  HistoryCounts counts;
  const HistoryCell cell(ctx, row, ctx.columns.assessment);
  const db::Dialect& dialect = db::dialectOf(ctx.conn);
  std::vector<db::Statement> inserts;
  inserts.reserve(cell.lines().size());
  std::vector<StoredHistoryLine> sent;  // what each insert stores, kept for the rows' results
  for (const std::string_view rawLine : cell.lines()) {
    const std::string_view line = text::trimView(rawLine);
    if (line.empty()) continue;
    const int32_t year = plainIntegerOr0(line.substr(0, kYearBytes));
    if (year < kFirstYear || year > kLastYear) continue;
    const std::string_view name =
        text::trimView(line.size() > kYearBytes ? text::cutToBytes(line.substr(kYearBytes), kAssessmentNameBytes)
                                                : std::string_view());
    const std::string& code = ctx.codes.lookup(name);
    if (code.empty()) {
      reportNoCode(ctx, HistoryKind::Assessment, personName, name, counts);
      continue;
    }
    auto s = dialect.insertAssessment(personId, year, code);
    if (!s) continue;
    inserts.push_back(std::move(*s));
    if (ctx.stored) sent.push_back({HistoryKind::Assessment, std::to_string(year), std::string(name), code});
  }
  const std::vector<bool> accepted = writeHistoryRows(ctx, inserts);
  for (std::size_t i = 0; i < accepted.size(); ++i) {
    if (!accepted[i]) continue;
    ++counts.stored;
    if (ctx.stored) ctx.stored->history.push_back(std::move(sent[i]));
  }
  return counts;
}

}  // namespace gz::imp
