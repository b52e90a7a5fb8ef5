#include "import/education_step.h"

#include <string>

#include "codes/code_map.h"
#include "db/connection.h"
#include "import/frontend.h"
#include "import/history_lines.h"
#include "text/bytes.h"

namespace gz::imp {

HistoryCounts ImportEducationHistory(const StepContext& ctx, int32_t row, int64_t personId, std::string_view personName,
                                     std::string_view workStart, int32_t wholeYears) {
  HistoryCounts counts;
  std::string lastFullTime;
  for (const std::string& line : historyCellLines(ctx, row, ctx.columns.education)) {
    if (line.empty()) continue;
    std::optional<DatedLine> dated = readDatedLine(line, kEducationNameBytes);
    if (!dated) continue;
    // Settled before the code lookup: a full-time line without a code still
    // decides which date the years go onto.
    const bool fullTime = text::compareBytes(dated->date, workStart) <= 0;
    if (fullTime) lastFullTime = dated->date;
    const std::string code = dated->name.empty() ? std::string() : ctx.codes.lookup(dated->name);
    if (code.empty()) {
      reportNoCode(ctx, HistoryKind::Education, personName, dated->name, counts);
      continue;
    }
    if (auto s = ctx.conn.dialect().insertEducation(personId, fullTime, dated->date, code))
      if (ctx.conn.tryExecute(*s)) ++counts.stored;
  }
  if (!lastFullTime.empty() && wholeYears != 0)
    if (auto s = ctx.conn.dialect().updateEducationYears(wholeYears, personId, lastFullTime)) ctx.conn.tryExecute(*s);
  return counts;
}

}  // namespace gz::imp
