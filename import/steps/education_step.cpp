#include "import/steps/education_step.h"

#include <optional>
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
namespace {

struct EducationLine {
  DatedLine dated;
  bool fullTime = false;
  bool takesYears = false;  // dated like the last full-time line
};

// The cell's usable lines in their order, and which is the last full-time one.
struct EducationLines {
  std::vector<EducationLine> lines;
  std::optional<std::size_t> lastFullTime;
};

// The inserts sent for one person: `rows[i]` says what `statements[i]` stores.
struct EducationInserts {
  struct Row {
    const EducationLine* line;
    std::string code;
    bool withYears;
  };
  std::vector<Row> rows;
  std::vector<db::Statement> statements;
};

// The names are views into `cell`, which must outlive the lines.
EducationLines readEducationLines(const std::vector<std::string_view>& cell, std::string_view workStart) {
  EducationLines read;
  read.lines.reserve(cell.size());
  for (const std::string_view line : cell) {
    if (line.empty()) continue;
    std::optional<DatedLine> dated = readDatedLine(line, kEducationNameBytes);
    if (!dated) continue;
    const bool fullTime = text::compareBytes(dated->date, workStart) <= 0;
    if (fullTime) read.lastFullTime = read.lines.size();
    read.lines.push_back({std::move(*dated), fullTime});
  }
  return read;
}

// Marks the lines dated the same day as the last full-time one. Returns true
// when the dialect cannot tell that for some line: the database then picks
// the rows, and the years go onto them in one update after the inserts.
bool markYearLines(EducationLines& read, const db::Dialect& d) {
  bool byUpdate = false;
  const std::string& lastDate = read.lines[*read.lastFullTime].dated.date;
  for (EducationLine& l : read.lines) {
    const std::optional<bool> same = d.sameDate(l.dated.date, lastDate);
    if (!same) byUpdate = true;
    l.takesYears = same.value_or(false);
  }
  return byUpdate;
}

// One insert for each line that has a code, carrying `yearsInInserts` on the
// marked lines when it is not 0. A name without a code is reported instead.
EducationInserts educationInserts(const StepContext& ctx, const EducationLines& read, int64_t personId,
                                  std::string_view personName, int32_t yearsInInserts, HistoryCounts& counts) {
  const db::Dialect& d = db::dialectOf(ctx.conn);
  EducationInserts out;
  out.rows.reserve(read.lines.size());
  out.statements.reserve(read.lines.size());
  for (const EducationLine& l : read.lines) {
    // A full-time line without a code has still decided the date above.
    std::string code = l.dated.name.empty() ? std::string() : ctx.codes.lookup(l.dated.name);
    if (code.empty()) {
      reportNoCode(ctx, HistoryKind::Education, personName, l.dated.name, counts);
      continue;
    }
    const bool withYears = yearsInInserts != 0 && l.takesYears;
    std::optional<db::Statement> s =
        withYears ? d.insertEducationWithYears(personId, l.fullTime, l.dated.date, code, yearsInInserts)
                  : d.insertEducation(personId, l.fullTime, l.dated.date, code);
    if (!s) continue;
    out.statements.push_back(std::move(*s));
    out.rows.push_back({&l, std::move(code), withYears});
  }
  return out;
}

// Counts the rows the database accepted. A row it refused with the years
// and accepts without them is stored without them; returns true then, so
// that the update after the rows leaves the years to the database, as it
// decided about them before.
bool countStored(const StepContext& ctx, int64_t personId, const EducationInserts& inserts,
                 const std::vector<bool>& accepted, HistoryCounts& counts) {
  bool yearsLeft = false;
  for (std::size_t i = 0; i < inserts.rows.size(); ++i) {
    const EducationInserts::Row& r = inserts.rows[i];
    const EducationLine& l = *r.line;
    if (!accepted[i]) {
      if (!r.withYears) continue;
      auto s = db::dialectOf(ctx.conn).insertEducation(personId, l.fullTime, l.dated.date, r.code);
      if (!s || !ctx.conn.tryExecute(*s)) continue;
      yearsLeft = true;
    }
    ++counts.stored;
    if (ctx.stored)
      ctx.stored->history.push_back(
          {HistoryKind::Education, l.dated.date, std::string(l.dated.name), r.code, l.fullTime});
  }
  return yearsLeft;
}

}  // namespace

HistoryCounts ImportEducationHistory(const StepContext& ctx, int32_t row, int64_t personId, std::string_view personName,
                                     std::string_view workStart, int32_t wholeYears) {
  // The whole years belong on the person's rows dated like the last
  // full-time line, which is known only once every line is read; so the
  // lines are read first and the years go in with the rows they belong to,
  // instead of by a search of the table afterwards.
  const HistoryCell cell(ctx, row, ctx.columns.education);
  EducationLines read = readEducationLines(cell.lines(), workStart);
  const bool giveYears = read.lastFullTime && wholeYears != 0;
  const bool yearsByUpdate = giveYears && markYearLines(read, db::dialectOf(ctx.conn));
  HistoryCounts counts;
  const EducationInserts inserts =
      educationInserts(ctx, read, personId, personName, giveYears && !yearsByUpdate ? wholeYears : 0, counts);
  const std::vector<bool> accepted = writeHistoryRows(ctx, inserts.statements);
  const bool yearsLeft = countStored(ctx, personId, inserts, accepted, counts);
  if (giveYears && (yearsByUpdate || yearsLeft))
    if (auto s = db::dialectOf(ctx.conn).updateEducationYears(wholeYears, personId,
                                                              read.lines[*read.lastFullTime].dated.date))
      ctx.conn.tryExecute(*s);
  return counts;
}

}  // namespace gz::imp
