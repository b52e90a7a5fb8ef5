#include "import/steps/position_step.h"

#include <string>
#include <vector>

#include "codes/code_map.h"
#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "import/shared/frontend.h"
#include "import/shared/stored_values.h"
#include "import/steps/history_lines.h"
#include "text/bytes.h"

namespace gz::imp {

HistoryCounts ImportPositionHistory(const StepContext& ctx, int32_t row, int64_t personId,
                                    std::string_view personName) {
  HistoryCounts counts;
  const HistoryCell cell(ctx, row, ctx.columns.position);
  const db::Dialect& dialect = db::dialectOf(ctx.conn);
  std::vector<db::Statement> inserts;
  inserts.reserve(cell.lines().size());
  std::vector<StoredHistoryLine> sent;  // what each insert stores, kept for the rows' results
  for (const std::string_view rawLine : cell.lines()) {
    const std::string_view line = text::trimView(rawLine);
    if (line.empty()) continue;
    std::optional<DatedLine> dated = readDatedLine(line, kPositionNameBytes);
    if (!dated) continue;
    const std::string_view name = text::trimView(dated->name);
    const std::string& code = ctx.codes.lookup(name);
    if (code.empty()) {
      reportNoCode(ctx, HistoryKind::Position, personName, name, counts);
      continue;
    }
    auto s = dialect.insertPosition(personId, dated->date, code);
    if (!s) continue;
    inserts.push_back(std::move(*s));
    if (ctx.stored) sent.push_back({HistoryKind::Position, dated->date, std::string(name), code});
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
