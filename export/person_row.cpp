#include "export/person_row.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "db/payroll/person_columns.h"
#include "db/sql_values.h"
#include "import/shared/roster_footer.h"
#include "import/steps/history_lines.h"
#include "import/steps/numbers.h"
#include "import/steps/person_checks.h"
#include "text/bytes.h"

namespace gz::exp {
namespace {

// An empty birth date cell, as the import reads it: day 0 of the date count.
constexpr std::string_view kEmptyDateText = "1899-12-30";

bool isNull(const db::Value& v) { return std::holds_alternative<std::monostate>(v); }

std::string isoText(const db::Date& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

// A stored value as text: whole numbers without a point, dates as yyyy-mm-dd.
std::string valueText(const db::Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&v)) {
    if (*d == std::trunc(*d) && std::fabs(*d) < 1e15) return std::to_string(static_cast<int64_t>(*d));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", *d);
    return buf;
  }
  if (const auto* d = std::get_if<db::Date>(&v)) return isoText(*d);
  return {};
}

std::optional<db::Date> dateOf(const db::Value& v) {
  if (const auto* d = std::get_if<db::Date>(&v)) return *d;
  if (const auto* s = std::get_if<std::string>(&v)) return db::parseDateText(*s);
  return std::nullopt;
}

std::optional<int64_t> wholeOf(const db::Value& v) {
  if (const auto* i = std::get_if<int64_t>(&v)) return *i;
  if (const auto* d = std::get_if<double>(&v); d && *d == std::trunc(*d)) return static_cast<int64_t>(*d);
  if (const auto* s = std::get_if<std::string>(&v)) {
    if (const auto n = db::plainNumberValue(*s))
      if (const auto* i = std::get_if<int64_t>(&*n)) return *i;
  }
  return std::nullopt;
}

std::string yearMonth(const db::Date& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d.%02d", d.year, d.month);
  return buf;
}

// Writes a person's row column by column, counting what cannot come back.
class RowWriter {
 public:
  RowWriter(CodeTexts& codes, SheetStream& out, ExportSummary& s) : codes_(codes), out_(out), s_(s) {}

  void lost(Column c, int n = 1) { s_[c].notComingBack += n; }

  // The text for a code: its first text in the code file, else the code itself (counted).
  std::string textFor(Column c, const std::string& code) {
    if (const std::string* t = codes_.textFor(code)) return *t;
    ++s_[c].codesWithoutText;
    return code;
  }
  std::string_view importedCode(std::string_view text) { return codes_.map().lookup(text); }

  // A value the import stores as the cell holds it (序号, 个人身份).
  void asHeld(Column c, const db::Value& v) {
    if (const auto* s = std::get_if<std::string>(&v)) {
      if (s->empty()) lost(c);  // an empty cell comes back as no value
      else out_.text(col(c), *s);
    } else if (const auto* d = std::get_if<db::Date>(&v)) {
      out_.date(col(c), *d);
    } else if (!isNull(v)) {
      out_.number(col(c), std::get_if<int64_t>(&v) ? static_cast<double>(std::get<int64_t>(v)) : std::get<double>(v));
    }
  }

  void idCard(const db::Value& v) {
    const std::string t = valueText(v);
    if (t.empty() && !isNull(v)) lost(Column::IdCard);
    if (!t.empty()) out_.text(col(Column::IdCard), t);
  }

  void sex(const db::Value& v) {
    const std::string code = valueText(v);
    if (code.empty()) {
      if (!isNull(v)) lost(Column::Sex);
      return;
    }
    const std::string t = textFor(Column::Sex, code);
    out_.text(col(Column::Sex), t);
    if (imp::sexCodeFor(t, codes_.map()) != code) lost(Column::Sex);
  }

  void ethnic(const db::Value& v) {
    const std::string code = valueText(v);
    // An empty cell comes back as the empty text.
    if (code.empty()) {
      if (isNull(v)) lost(Column::Ethnic);
      return;
    }
    const std::string t = textFor(Column::Ethnic, code);
    out_.text(col(Column::Ethnic), t);
    const bool looksUp = static_cast<unsigned char>(t[0]) > '9';
    if ((looksUp ? std::string(importedCode(t)) : t) != code) lost(Column::Ethnic);
  }

  // A date column; returns the yyyy-mm-dd text the import makes of the cell.
  std::string date(Column c, const db::Value& v) {
    const std::optional<db::Date> d = dateOf(v);
    if (!d || d->year < 1 || d->year > 9999) {
      // An empty cell comes back as the first day of the date count, a text as no date at all.
      lost(c);
      if (!isNull(v)) out_.text(col(c), valueText(v));
      return std::string(kEmptyDateText);
    }
    out_.date(col(c), *d);
    return isoText(*d);
  }

  // kjgl and kjtgnf: a whole number, 0 stored as no value.
  void wholeNumber(Column c, const db::Value& v, int64_t sign) {
    if (isNull(v)) return;
    const std::optional<int64_t> n = wholeOf(v);
    if (!n || *n == 0 || *n > INT32_MAX || *n < -INT32_MAX) {
      lost(c);
      return;
    }
    out_.number(col(c), static_cast<double>(sign * *n));
  }

  // The college months as Y.MM, in a text cell so that 3.10 (3 years 10
  // months) is not shown as 3.1. Returns the whole years the import derives.
  int32_t collegeYears(const db::Value& v) {
    if (isNull(v)) return 0;
    const std::optional<int64_t> m = wholeOf(v);
    if (!m || *m == 0 || *m > INT32_MAX || *m < -INT32_MAX) {
      lost(Column::CollegeYears);
      return 0;
    }
    const int64_t years = *m / imp::kMonthsPerYear, months = *m % imp::kMonthsPerYear;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", *m < 0 ? "-" : "", static_cast<long long>(std::llabs(years)),
                  static_cast<long long>(std::llabs(months)));
    out_.text(col(Column::CollegeYears), buf);
    return static_cast<int32_t>(years);
  }

  static uint16_t col(Column c) { return static_cast<uint16_t>(c); }

 private:
  CodeTexts& codes_;
  SheetStream& out_;
  ExportSummary& s_;
};

// A line of the education cell, with what the import will make of it.
struct EducationLine {
  std::string date;  // the YYYY-MM-1 text
  bool fullTime = false;
  db::Value storedYears;
};

std::string educationCell(const StoredPerson& p, RowWriter& w, std::string_view workStart, int32_t wholeYears) {
  std::string cell;
  std::vector<EducationLine> read;
  for (const EducationRow& r : p.education) {
    const std::optional<db::Date> d = dateOf(r.date);
    const std::string code = valueText(r.code);
    if (!d || code.empty() || d->year < 1 || d->year > 9999) {
      w.lost(Column::Education);
      continue;
    }
    const std::string line = yearMonth(*d) + w.textFor(Column::Education, code);
    cell += (cell.empty() ? "" : "\n") + line;
    const std::optional<imp::DatedLine> dated = imp::readDatedLine(line, imp::kEducationNameBytes);
    if (!dated) {
      w.lost(Column::Education);
      continue;
    }
    const bool fullTime = text::compareBytes(dated->date, workStart) <= 0;
    if (w.importedCode(dated->name) != code || db::parseDateText(dated->date) != d ||
        valueText(r.mode) != db::person::studyModeText(fullTime))
      w.lost(Column::Education);
    read.push_back({dated->date, fullTime, r.years});
  }
  // The whole years go onto the rows dated like the last full-time line.
  std::optional<db::Date> lastFullTime;
  for (const EducationLine& l : read)
    if (l.fullTime) lastFullTime = db::parseDateText(l.date);
  for (const EducationLine& l : read) {
    const bool takesYears = wholeYears != 0 && lastFullTime && db::parseDateText(l.date) == lastFullTime;
    const std::optional<int64_t> stored = wholeOf(l.storedYears);
    if (takesYears ? stored != wholeYears : !isNull(l.storedYears)) w.lost(Column::Education);
  }
  return cell;
}

std::string positionCell(const StoredPerson& p, RowWriter& w) {
  std::string cell;
  for (const PositionRow& r : p.positions) {
    const std::optional<db::Date> d = dateOf(r.date);
    const std::string code = valueText(r.code);
    if (!d || code.empty() || d->year < 1 || d->year > 9999) {
      w.lost(Column::Position);
      continue;
    }
    const std::string line = yearMonth(*d) + w.textFor(Column::Position, code);
    cell += (cell.empty() ? "" : "\n") + line;
    const std::optional<imp::DatedLine> dated = imp::readDatedLine(text::trimView(line), imp::kPositionNameBytes);
    if (!dated) {
      w.lost(Column::Position);
      continue;
    }
    if (w.importedCode(text::trimView(dated->name)) != code || db::parseDateText(dated->date) != d ||
        valueText(r.salaryCode) != code)
      w.lost(Column::Position);
  }
  return cell;
}

std::string assessmentCell(const StoredPerson& p, RowWriter& w) {
  std::string cell;
  for (const AssessmentRow& r : p.assessments) {
    const std::optional<int64_t> year = wholeOf(r.year);
    const std::string code = valueText(r.result);
    if (!year || code.empty() || *year < imp::kFirstYear || *year > imp::kLastYear) {
      w.lost(Column::Assessment);
      continue;
    }
    const std::string line = std::to_string(*year) + w.textFor(Column::Assessment, code);
    cell += (cell.empty() ? "" : "\n") + line;
    const std::string_view name =
        text::trimView(text::cutToBytes(std::string_view(line).substr(imp::kYearBytes), imp::kAssessmentNameBytes));
    const std::optional<db::Value> back = db::plainNumberValue(w.importedCode(name));
    if (!back || valueText(*back) != code) w.lost(Column::Assessment);
  }
  return cell;
}

std::size_t lineCount(const std::string& cell) {
  return static_cast<std::size_t>(std::count(cell.begin(), cell.end(), '\n')) + 1;
}

}  // namespace

void writeTitles(SheetStream& out, bool withDepartment) {
  out.beginRow();
  const std::size_t columns = withDepartment ? kColumnCount : kColumnCount - 1;
  for (std::size_t c = 0; c < columns; ++c) out.text(static_cast<uint16_t>(c), columnTitle(static_cast<Column>(c)));
}

bool readsAsPerson(const StoredPerson& p) {
  const std::string name = valueText(p.name);
  return !name.empty() && !imp::isFooterLine(name, isNull(p.birth));
}

void writePerson(const StoredPerson& p, CodeTexts& codes, bool withDepartment, SheetStream& out,
                 ExportSummary& summary) {
  RowWriter w(codes, out, summary);
  // The history cells are made first: the row's height follows their lines.
  std::string workStartText;
  {
    const std::optional<db::Date> d = dateOf(p.workStart);
    workStartText = d ? isoText(*d) : std::string(kEmptyDateText);
  }
  const std::optional<int64_t> months = wholeOf(p.collegeMonths);
  const int32_t wholeYears = months && *months != 0 && std::llabs(*months) <= INT32_MAX
                                 ? static_cast<int32_t>(*months / imp::kMonthsPerYear)
                                 : 0;
  const std::string education = educationCell(p, w, workStartText, wholeYears);
  const std::string positions = positionCell(p, w);
  const std::string assessments = assessmentCell(p, w);
  out.beginRow(static_cast<int>(std::max({lineCount(education), lineCount(positions), lineCount(assessments)})));

  w.asHeld(Column::Serial, p.serial);
  out.text(RowWriter::col(Column::Name), valueText(p.name));
  w.sex(p.sex);
  w.ethnic(p.ethnic);
  w.idCard(p.idCard);
  w.date(Column::Birth, p.birth);
  w.date(Column::WorkStart, p.workStart);
  w.asHeld(Column::Status, p.status);
  // The sheet gives the months to add; kjgl keeps them as a deduction.
  w.wholeNumber(Column::Seniority, p.seniority, -1);
  w.wholeNumber(Column::DeductYears, p.deductYears, 1);
  w.collegeYears(p.collegeMonths);
  if (!education.empty()) out.text(RowWriter::col(Column::Education), education, true);
  if (!positions.empty()) out.text(RowWriter::col(Column::Position), positions, true);
  if (!assessments.empty()) out.text(RowWriter::col(Column::Assessment), assessments, true);
  if (withDepartment) out.text(RowWriter::col(Column::Department), valueText(p.department));
  ++summary.people;
  summary.historyRows += static_cast<int>(p.education.size() + p.positions.size() + p.assessments.size());
}

}  // namespace gz::exp
