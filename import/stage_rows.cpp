#include "import/assessment_step.h"
#include "import/education_step.h"
#include "import/frontend.h"
#include "import/person_step.h"
#include "import/position_step.h"
#include "import/row_writer.h"
#include "import/run_stages.h"

namespace gz::imp {
namespace {
constexpr int kProgressEveryRows = 100;
}

RowOutcome importRow(const StepContext& ctx, int32_t row, std::string personName, std::string_view deptCode,
                     RowCarry& carry, db::PersonRecord& record, TypedDateCounter* typedDates) {
  RowOutcome out;
  out.row = row;
  out.personName = std::move(personName);
  const PersonOutcome person = ImportPersonRecord(ctx, row, deptCode, out.personName, carry, record, typedDates);
  if (!person.stored) {
    // Nothing of the row is kept: its history lines have no person to belong to.
    out.reason = person.failure;
    return out;
  }
  out.stored = true;
  out.personId = person.id;
  HistoryCounts history =
      ImportEducationHistory(ctx, row, person.id, out.personName, carry.workStart, carry.wholeYears);
  history += ImportPositionHistory(ctx, row, person.id, out.personName);
  history += ImportAssessmentHistory(ctx, row, person.id, out.personName);
  out.historyRowsStored = history.stored;
  out.linesReported = history.reported;
  return out;
}

bool importRows(const RowsInput& in, RowWriter& writer, RowSink& sink, Frontend& frontend, ImportOutcome& out) {
  const StepContext ctx{in.book, in.columns, in.codes, writer.connection(), frontend};
  RowCarry carry;
  db::PersonRecord record;
  for (int32_t row = in.firstRow;; ++row) {
    std::string name = nameCell(in.book, in.columns, row);
    if (name.empty()) return false;
    if (in.skipRows && in.skipRows->count(row) != 0) continue;
    writer.beginRow();
    const RowOutcome done = importRow(ctx, row, std::move(name), in.deptCode, carry, record, in.typedDates);
    writer.endRow(done);
    if (!done.stored) ++out.rowsFailed;
    out.linesReported += done.linesReported;
    sink.rowDone(done);
    ++out.rowsDone;
    writer.commitIfDue();
    if (out.rowsDone % kProgressEveryRows == 0) frontend.progress(out.rowsDone, out.rowsTotal);
    frontend.processEvents();
    if (frontend.abortRequested()) return true;
  }
}

}  // namespace gz::imp
