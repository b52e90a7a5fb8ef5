#include "import/steps/person_step.h"

#include <cmath>

#include "codes/code_map.h"
#include "db/payroll/person_columns.h"
#include "db/sql_values.h"
#include "import/shared/frontend.h"
#include "import/shared/texts.h"
#include "import/shared/typed_date_counter.h"
#include "import/steps/numbers.h"
#include "import/steps/person_checks.h"
#include "import/steps/person_rewrite.h"
#include "import/steps/update_people.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/dates.h"
#include "sheet/model/workbook.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::imp {
namespace {

namespace col = db::person;

// Ends the filling of a record: the person is not stored, for `reason`.
struct CellFailure {
  std::string reason;
};

std::string quotedReason(std::string_view title, const std::string& cellText, std::string_view what) {
  std::string r(title);
  r.append("\"").append(cellText).append("\"").append(what);
  return r;
}

bool civilInRange(const sheet::CivilDate& d) { return d.year >= 1 && d.year <= 9999; }

class RowReader {
 public:
  RowReader(const sheet::Workbook& book, int32_t row) : book_(book), row_(static_cast<uint32_t>(row)) {}

  sheet::CellValue value(int32_t col) const { return book_.value(row_, static_cast<uint32_t>(col)); }
  std::string text(int32_t col) const { return sheet::cellText(value(col)); }

  db::Value dbValue(int32_t col, std::string_view title) const {
    const sheet::CellValue cell = value(col);
    db::Value v;
    if (!cellToDbValue(cell, v)) {
      std::string reason(title);
      reason.append(texts::kReasonErrorCell).append(sheet::cellText(cell));
      throw CellFailure{std::move(reason)};
    }
    return v;
  }

  // The 身份证号 cell as stored; its text for the checks goes to `idText`.
  db::Value idCard(int32_t col, std::string& idText) const {
    const sheet::CellValue cell = value(col);
    db::Value v;
    switch (readIdCardCell(cell, v, idText)) {
      case IdCellRead::Ok: return v;
      case IdCellRead::LostDigits: throw CellFailure{std::string(texts::kReasonIdLostDigits)};
      case IdCellRead::ErrorValue: break;
    }
    std::string reason(texts::kTitleIdCard);
    throw CellFailure{reason.append(texts::kReasonErrorCell).append(sheet::cellText(cell))};
  }

  // The cell's date as a calendar date and its yyyy-mm-dd text; where the
  // date came from goes to `source`.
  db::Date date(int32_t col, std::string_view title, std::string& isoText, sheet::DateSource& source) const {
    const sheet::CellValue cell = value(col);
    const std::optional<sheet::CellDateReading> read = sheet::readCellDate(cell);
    const sheet::CivilDate civil = read ? sheet::civilFromSerial(read->serial) : sheet::CivilDate{};
    if (!read || !civilInRange(civil))
      throw CellFailure{quotedReason(title, sheet::cellText(cell), texts::kReasonNotADate)};
    isoText = sheet::isoDateText(read->serial);
    source = read->source;
    return db::Date{civil.year, civil.month, civil.day};
  }

 private:
  const sheet::Workbook& book_;
  uint32_t row_;
};

// Where the row's two dates came from, counted once the person is stored.
struct RowDates {
  sheet::DateSource birth = sheet::DateSource::Value;
  sheet::DateSource workStart = sheet::DateSource::Value;
};

// The cell-dependent columns, in the order they are set. Throws CellFailure.
void fillFromCells(const StepContext& ctx, const RowReader& cells, RowCarry& carry, db::PersonRecord& record,
                   RowDates& dates, PersonFacts& facts) {
  const SheetColumns& c = ctx.columns;
  if (c.serial) record.set(col::kSerial, cells.dbValue(c.serial, texts::kTitleSerial));
  if (c.idCard) record.set(col::kIdCard, cells.idCard(c.idCard, facts.idCard));
  if (c.seniority) {
    // The sheet gives months to add; the record keeps them as a deduction.
    const int32_t n = text::wholeNumberOr0(cells.text(c.seniority));
    if (n != 0) record.set(col::kSeniorityDeduction, -int64_t{n});
  }
  if (c.sex) {
    facts.sexText = cells.text(c.sex);
    facts.sexCode = sexCodeFor(facts.sexText, ctx.codes);
    if (facts.sexCode) record.set(col::kSex, *facts.sexCode);
  }
  if (c.ethnic) {
    // A name (first byte above "9") is translated; a code given as digits is kept.
    std::string t = cells.text(c.ethnic);
    if (!t.empty() && static_cast<unsigned char>(t[0]) > '9') record.set(col::kEthnic, ctx.codes.lookup(t));
    else record.set(col::kEthnic, std::move(t));
  }
  std::string iso;
  if (c.birth) {
    const db::Date d = cells.date(c.birth, texts::kTitleBirth, iso, dates.birth);
    record.set(col::kBirth, d);
    if (cells.value(c.birth).kind != sheet::CellKind::Empty) facts.birth = CalendarDay{d.year, d.month, d.day};
  }
  if (c.workStart) {
    const db::Date d = cells.date(c.workStart, c.workStartTitle, iso, dates.workStart);
    record.set(col::kWorkStart, d);
    carry.workStart = iso;
    if (cells.value(c.workStart).kind != sheet::CellKind::Empty) facts.workStart = CalendarDay{d.year, d.month, d.day};
    facts.workStartTitle = c.workStartTitle;
  }
  if (c.status) record.set(col::kStatus, cells.dbValue(c.status, texts::kTitleStatus));
  if (c.deductYears) {
    const std::string t = cells.text(c.deductYears);
    const int32_t n = t.empty() ? 0 : text::wholeNumberOr0(t);
    if (n != 0) record.set(col::kYearsNotCounted, int64_t{n});
  }
  carry.wholeYears = 0;
  if (c.collegeYears) {
    const std::string t = cells.text(c.collegeYears);
    YearsMonths ym;
    const DecimalRead read = t.empty() ? DecimalRead::NotANumber : readYearsMonths(t, ym);
    if (read == DecimalRead::OutOfRange)
      throw CellFailure{quotedReason(texts::kTitleCollegeYears, t, texts::kReasonOutOfRange)};
    if (read == DecimalRead::Ok) {
      carry.wholeYears = ym.wholeYears;
      if (ym.months != 0) record.set(col::kCollegeMonths, int64_t{ym.months});
    }
  }
}

}  // namespace

bool cellToDbValue(const sheet::CellValue& cell, db::Value& out) {
  switch (cell.kind) {
    case sheet::CellKind::Empty: out = std::monostate{}; return true;
    case sheet::CellKind::Text: out = cell.text; return true;
    case sheet::CellKind::Boolean: out = int64_t{cell.number != 0}; return true;
    case sheet::CellKind::Error: return false;
    case sheet::CellKind::Number: break;
  }
  const double v = cell.number;
  if (cell.isDate) {
    const sheet::CivilDate d = sheet::civilFromSerial(v);
    if (civilInRange(d)) {
      out = db::Date{d.year, d.month, d.day};
      return true;
    }
  }
  // Whole numbers go in as integers so a text column receives "12", not "12.0".
  out = db::wholeNumberAsInteger(v);
  return true;
}

PersonOutcome ImportPersonRecord(const StepContext& ctx, int32_t row, std::string_view deptCode,
                                 std::string_view personName, RowCarry& carry, db::PersonRecord& record,
                                 TypedDateCounter* typedDates, const PersonToUpdate* update) {
  record.clear();
  record.set(col::kDepartment, std::string(deptCode));
  record.set(col::kProbationMonths, db::person::kNewPersonProbationMonths);
  record.set(col::kName, std::string(personName));
  record.set(col::kHealth, std::string(db::person::kNewPersonHealthCode));
  ctx.frontend.rowStarted(row, personName);

  PersonOutcome out;
  out.failure = unreadableCellReason(ctx, row);
  if (!out.failure.empty()) return out;
  RowDates dates;
  PersonFacts facts;
  try {
    fillFromCells(ctx, RowReader(ctx.book, row), carry, record, dates, facts);
  } catch (const CellFailure& f) {
    out.failure = f.reason;
    return out;
  }
  try {
    if (update && !update->rewrite->updatePerson(updatedColumns(ctx.columns, record))) {
      out.failure = texts::kReasonDbRefused;
      return out;
    }
    out.id = update ? update->id : db::insertPerson(ctx.conn, record);
    out.stored = true;
    out.warnings = personWarnings(facts, todayDate());
    if (typedDates) {
      typedDates->count(texts::kTitleBirth, dates.birth);
      typedDates->count(ctx.columns.workStartTitle, dates.workStart);
    }
  } catch (const db::DbError& e) {
    // A database held past the wait, gone, full or undone is not this
    // person's fault: the run cannot go on.
    if (db::endsTheWork(e.fault())) throw;
    out.failure = std::string(texts::kReasonDbRefused) + text::utf8ToGb18030(e.what());
  }
  return out;
}

}  // namespace gz::imp
