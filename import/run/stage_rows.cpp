#include "import/run/run_stages.h"
#include "import/shared/frontend.h"
#include "import/shared/stored_values.h"
#include "import/shared/texts.h"
#include "import/steps/assessment_step.h"
#include "import/steps/education_step.h"
#include "import/steps/person_rewrite.h"
#include "import/steps/person_step.h"
#include "import/steps/position_step.h"
#include "import/steps/update_people.h"
#include "import/writers/row_writer.h"

namespace gz::imp {
namespace {
constexpr int kProgressEveryRows = 100;

// Hands what the steps stored for the row to its outcome, when the run keeps it.
void keepStoredValues(const StepContext& ctx, const db::PersonRecord& record, RowOutcome& out) {
  if (!ctx.stored) return;
  ctx.stored->person = record;
  out.values = std::make_shared<const StoredValues>(std::move(*ctx.stored));
}

}  // namespace

RowOutcome importRow(const StepContext& ctx, int32_t row, std::string personName, std::string_view deptCode,
                     RowCarry& carry, db::PersonRecord& record, TypedDateCounter* typedDates,
                     const UpdateTargets* update) {
  RowOutcome out;
  out.row = row;
  out.personName = std::move(personName);
  if (ctx.stored) *ctx.stored = {};
  PersonToUpdate target;
  std::optional<PersonRewrite> rewrite;
  if (update) {
    RowTarget t = rowTarget(ctx.book, ctx.columns, row, update->people);
    if (!t.refusal.empty()) {
      ctx.frontend.rowStarted(row, out.personName);
      out.reason = std::move(t.refusal);
      return out;
    }
    if (t.id != 0) target = {t.id, &rewrite.emplace(ctx, t.id, update->changes, *update->stored, *update->rewritten)};
  }
  const PersonToUpdate* updating = target.id != 0 ? &target : nullptr;
  const PersonOutcome person =
      ImportPersonRecord(ctx, row, deptCode, out.personName, carry, record, typedDates, updating);
  if (!person.stored) {
    // Nothing of the row is kept: its history lines have no person to belong to.
    out.reason = person.failure;
    return out;
  }
  out.stored = true;
  out.personId = person.id;
  out.updated = updating != nullptr;
  out.warnings = person.warnings;
  StepContext steps = ctx;
  steps.rewrite = target.rewrite;
  HistoryCounts history =
      ImportEducationHistory(steps, row, person.id, out.personName, carry.workStart, carry.wholeYears);
  history += ImportPositionHistory(steps, row, person.id, out.personName);
  history += ImportAssessmentHistory(steps, row, person.id, out.personName);
  // The stored rows the sheet no longer gives go once its own are in.
  if (rewrite && !rewrite->deleteUnmatched()) {
    RowOutcome refused;
    refused.row = row;
    refused.personName = std::move(out.personName);
    refused.reason = texts::kReasonDbRefused;
    return refused;
  }
  out.historyRowsStored = history.stored;
  out.linesReported = history.reported;
  keepStoredValues(ctx, record, out);
  return out;
}

void RowTally::rowDone(const RowOutcome& row) {
  ++out_.rowsDone;
  if (!row.stored) ++out_.rowsFailed;
  out_.linesReported += row.linesReported;
  out_.warnings += static_cast<int>(row.warnings.size());
  next_.rowDone(row);
}

bool importRows(const RowsInput& in, RowWriter& writer, Frontend& frontend, int rowsTotal) {
  StoredValues stored;
  const StepContext ctx{
      in.book, in.columns, in.codes, writer.connection(), writer.rowEvents(), in.keepValues ? &stored : nullptr};
  RowCarry carry;
  db::PersonRecord record;
  for (int32_t row = in.firstRow, read = 0;; ++row) {
    std::string name = nameCell(in.book, in.columns, row);
    if (name.empty()) {
      writer.settle();
      return false;
    }
    if (in.skipRows && in.skipRows->count(row) != 0) continue;
    ++read;
    writer.beginRow(carry);
    const RowOutcome done =
        importRow(ctx, row, std::move(name), in.deptCode, carry, record, writer.rowTypedDates(), in.update);
    writer.endRow(done);
    const int committedBefore = writer.rowsSettled();
    writer.commitIfDue();
    if (writer.rowsSettled() != committedBefore) frontend.batchCommitted();
    if (read % kProgressEveryRows == 0) frontend.progress(read, rowsTotal);
    frontend.processEvents();
    if (frontend.abortRequested()) {
      writer.settle();
      return true;
    }
  }
}

}  // namespace gz::imp
