#include "import/education_step.h"

#include <optional>
#include <string>
#include <vector>

#include "codes/code_map.h"
#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "import/frontend.h"
#include "import/history_lines.h"
#include "text/bytes.h"

namespace gz::imp {
namespace {

struct EducationLine {
  DatedLine dated;
  bool fullTime = false;
  bool takesYears = false;  // dated like the last full-time line
};

}  // namespace

HistoryCounts ImportEducationHistory(const StepContext& ctx, int32_t row, int64_t personId, std::string_view personName,
                                     std::string_view workStart, int32_t wholeYears) {
  // The whole years belong on the person's rows dated like the last
  // full-time line, which is known only once every line is read; so the
  // lines are read first and the years go in with the rows they belong to,
  // instead of by a search of the table afterwards.
  const std::vector<std::string> cell = historyCellLines(ctx, row, ctx.columns.education);
  std::vector<EducationLine> lines;
  lines.reserve(cell.size());
  std::optional<std::size_t> lastFullTime;
  for (const std::string& line : cell) {
    if (line.empty()) continue;
    std::optional<DatedLine> dated = readDatedLine(line, kEducationNameBytes);
    if (!dated) continue;
    const bool fullTime = text::compareBytes(dated->date, workStart) <= 0;
    if (fullTime) lastFullTime = lines.size();
    lines.push_back({std::move(*dated), fullTime});
  }

  const db::Dialect& d = db::dialectOf(ctx.conn);
  const bool giveYears = lastFullTime && wholeYears != 0;
  // Where the dialect cannot tell which dates are the same day, the database
  // picks the rows: the years follow the rows in one update, as they always did.
  bool yearsByUpdate = false;
  if (giveYears)
    for (EducationLine& l : lines) {
      const std::optional<bool> same = d.sameDate(l.dated.date, lines[*lastFullTime].dated.date);
      if (!same) yearsByUpdate = true;
      l.takesYears = same.value_or(false);
    }

  struct Insert {
    const EducationLine* line;
    std::string code;
    bool withYears;
  };
  HistoryCounts counts;
  std::vector<Insert> rows;
  std::vector<db::Statement> inserts;
  for (const EducationLine& l : lines) {
    // A full-time line without a code has still decided the date above.
    std::string code = l.dated.name.empty() ? std::string() : ctx.codes.lookup(l.dated.name);
    if (code.empty()) {
      reportNoCode(ctx, HistoryKind::Education, personName, l.dated.name, counts);
      continue;
    }
    const bool withYears = giveYears && !yearsByUpdate && l.takesYears;
    std::optional<db::Statement> s =
        withYears ? d.insertEducationWithYears(personId, l.fullTime, l.dated.date, code, wholeYears)
                  : d.insertEducation(personId, l.fullTime, l.dated.date, code);
    if (!s) continue;
    inserts.push_back(std::move(*s));
    rows.push_back({&l, std::move(code), withYears});
  }
  const std::vector<bool> accepted = ctx.conn.tryExecuteEach(inserts);
  // A row the database refuses with the years and accepts without them is
  // stored without them; the update after the rows then leaves the years to
  // the database, as it decided about them before.
  bool yearsLeft = false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (accepted[i]) {
      ++counts.stored;
      continue;
    }
    if (!rows[i].withYears) continue;
    const EducationLine& l = *rows[i].line;
    if (auto s = d.insertEducation(personId, l.fullTime, l.dated.date, rows[i].code); s && ctx.conn.tryExecute(*s)) {
      ++counts.stored;
      yearsLeft = true;
    }
  }
  if (giveYears && (yearsByUpdate || yearsLeft))
    if (auto s = d.updateEducationYears(wholeYears, personId, lines[*lastFullTime].dated.date)) ctx.conn.tryExecute(*s);
  return counts;
}

}  // namespace gz::imp
