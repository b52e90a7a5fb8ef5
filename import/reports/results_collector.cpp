#include "import/reports/results_collector.h"

#include <charconv>
#include <cstdio>
#include <utility>

#include "codes/code_map.h"
#include "db/payroll/person_columns.h"
#include "import/shared/run_texts.h"
#include "import/shared/stored_values.h"
#include "import/shared/texts.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/workbook.h"

namespace gz::imp {
namespace {

using F = ResultField;

constexpr std::size_t index(ResultField f) { return static_cast<std::size_t>(f); }

// The person columns shown, and the field each is shown in.
constexpr std::pair<const char*, ResultField> kShownColumns[] = {
    {db::person::kName, F::Name},
    {db::person::kSerial, F::Serial},
    {db::person::kIdCard, F::IdCard},
    {db::person::kSex, F::Sex},
    {db::person::kEthnic, F::Ethnic},
    {db::person::kBirth, F::Birth},
    {db::person::kWorkStart, F::WorkStart},
    {db::person::kStatus, F::Status},
    {db::person::kSeniorityDeduction, F::Seniority},
    {db::person::kYearsNotCounted, F::DeductYears},
    {db::person::kCollegeMonths, F::CollegeYears},
};

RowResults::Layout layoutOf(const sheet::Workbook& book, const SheetColumns& c, TitleRows titleRows) {
  RowResults::Layout l;
  l.titles = titleCellsAsRead(book.sheet(), titleRows);
  const std::pair<std::string_view, int32_t> fields[kResultFields] = {
      {texts::kTitleName, c.name},
      {texts::kTitleSerial, c.serial},
      {texts::kTitleIdCard, c.idCard},
      {texts::kTitleSex, c.sex},
      {texts::kTitleEthnic, c.ethnic},
      {texts::kTitleBirth, c.birth},
      {c.workStartTitle.empty() ? texts::kTitleJoinWork : c.workStartTitle, c.workStart},
      {texts::kTitleStatus, c.status},
      {c.seniorityTitle.empty() ? texts::kTitleSeniority1 : c.seniorityTitle, c.seniority},
      {texts::kTitleDeductYears, c.deductYears},
      {texts::kTitleCollegeYears, c.collegeYears},
      {texts::kTitleEducation, c.education},
      {texts::kTitlePosition, c.position},
      {texts::kTitleAssessment, c.assessment},
  };
  for (std::size_t f = 0; f < kResultFields; ++f) {
    l.fieldTitles[f] = std::string(fields[f].first);
    l.sourceColumns[f] = fields[f].second;
  }
  return l;
}

std::string valueText(const db::Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&v)) {
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, *d).ptr;
    return std::string(buf, end);
  }
  if (const auto* date = std::get_if<db::Date>(&v)) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date->year, date->month, date->day);
    return buf;
  }
  return {};
}

// A stored code with the text it stands for: the cell's text, or for a sex
// written as its code the text of the code file that has that code.
std::string codeWithText(const std::string& code, std::string cellText, const codes::CodeMap& codes, bool sex) {
  if (cellText == code && sex) {
    cellText.clear();
    for (const std::string_view t : {texts::kSexMale, texts::kSexFemale})
      if (const auto it = codes.entries().find(t); it != codes.entries().end() && it->second == code) cellText = t;
  }
  if (cellText.empty() || cellText == code) return code;
  return code + " " + cellText;
}

std::string_view historyTitle(HistoryKind kind) {
  switch (kind) {
    case HistoryKind::Education: return texts::kTitleEducation;
    case HistoryKind::Position: return texts::kHistoryPosition;
    case HistoryKind::Assessment: break;
  }
  return texts::kHistoryAssessment;
}

ResultField historyField(HistoryKind kind) {
  switch (kind) {
    case HistoryKind::Education: return F::Education;
    case HistoryKind::Position: return F::Position;
    case HistoryKind::Assessment: break;
  }
  return F::Assessment;
}

// One history line in short: 1990-07 中专 全日制 (the day the run adds is left out).
void appendLine(std::string& out, const StoredHistoryLine& l) {
  const std::size_t day = l.kind == HistoryKind::Assessment ? std::string::npos : l.date.rfind('-');
  out.append(l.date, 0, day).append(" ").append(l.name);
  if (l.kind == HistoryKind::Education) out.append(" ").append(db::person::studyModeText(l.fullTime));
}

// 学历3条: 1990-07 中专 全日制, 1995-07 大学本科 在职
void fillHistory(const std::vector<StoredHistoryLine>& lines, ResultRow& r) {
  for (const HistoryKind kind : {HistoryKind::Education, HistoryKind::Position, HistoryKind::Assessment}) {
    std::string items;
    int count = 0;
    for (const StoredHistoryLine& l : lines) {
      if (l.kind != kind) continue;
      if (count++ != 0) items.append(", ");
      appendLine(items, l);
    }
    if (count == 0) continue;
    std::string& v = r.values[index(historyField(kind))];
    v.append(historyTitle(kind)).append(std::to_string(count)).append(texts::kHistoryLinesCount).append(items);
  }
}

}  // namespace

ResultsCollector::ResultsCollector(RowResults& results, RowSink& next, const sheet::Workbook& book,
                                   const SheetColumns& columns, TitleRows titleRows, const codes::CodeMap& codes)
    : results_(results), next_(next), book_(book), columns_(columns), codes_(codes) {
  results_.clear();
  results_.setLayout(layoutOf(book, columns, titleRows));
}

ResultRow ResultsCollector::withCells(int32_t row) const {
  ResultRow r;
  r.row = row;
  const std::size_t width = results_.layout().titles.size();
  r.cells.reserve(width);
  for (std::size_t c = 1; c <= width; ++c)
    r.cells.push_back(book_.value(static_cast<uint32_t>(row), static_cast<uint32_t>(c)));
  return r;
}

// A reason or warning begins with the title of the cell it is about (出生年月"19x3"不是日期);
// that cell is marked. The longest title that fits wins (参加工作时间 over 工作时间).
void ResultsCollector::addProblem(ResultRow& r, std::string text, bool warning) const {
  const RowResults::Layout& l = results_.layout();
  std::size_t best = kResultFields, bestBytes = 0;
  for (std::size_t f = 0; f < kResultFields; ++f) {
    const std::string& title = l.fieldTitles[f];
    if (l.sourceColumns[f] != 0 && title.size() > bestBytes && text.starts_with(title)) {
      best = f;
      bestBytes = title.size();
    }
  }
  if (best != kResultFields) r.problemFields |= 1U << best;
  r.warned = r.warned || warning;
  r.problems.push_back(std::move(text));
}

void ResultsCollector::fillValues(const RowOutcome& row, ResultRow& r) const {
  r.values[index(F::Name)] = row.personName;
  if (!row.values) {
    // Nothing is stored: the cells as read show what has to be put right.
    const RowResults::Layout& l = results_.layout();
    for (std::size_t f = index(F::Serial); f < index(F::Education); ++f) {
      const auto column = static_cast<std::size_t>(l.sourceColumns[f]);
      if (column != 0 && column <= r.cells.size()) r.values[f] = sheet::cellText(r.cells[column - 1]);
    }
    return;
  }
  for (const auto& [column, value] : row.values->person.columns()) {
    for (const auto& [name, field] : kShownColumns) {
      if (column != name) continue;
      std::string text = valueText(value);
      if (field == F::Sex || field == F::Ethnic) {
        const auto source = static_cast<std::size_t>(field == F::Sex ? columns_.sex : columns_.ethnic);
        const std::string cell = source != 0 && source <= r.cells.size() ? sheet::cellText(r.cells[source - 1]) : "";
        text = codeWithText(text, cell, codes_, field == F::Sex);
      }
      r.values[index(field)] = std::move(text);
    }
  }
  fillHistory(row.values->history, r);
}

void ResultsCollector::rowDone(const RowOutcome& row) {
  next_.rowDone(row);
  ResultRow r = withCells(row.row);
  r.fate = !row.stored ? RowFate::NotImported : row.updated ? RowFate::Update : RowFate::Import;
  fillValues(row, r);
  if (!row.reason.empty()) addProblem(r, row.reason, false);
  for (const std::string& w : row.warnings) addProblem(r, w, true);
  if (row.values) {
    for (const StoredHistoryLine& l : row.values->linesWithoutCode) {
      addProblem(r, lineWithoutCodeText(l.kind, row.personName, l.name), true);
      r.problemFields |= 1U << index(historyField(l.kind));
    }
  }
  results_.add(r);
}

void ResultsCollector::rowsSkipped(const std::vector<DuplicateRow>& rows) {
  for (const DuplicateRow& d : rows) {
    ResultRow r = withCells(d.row);
    r.fate = RowFate::Skip;
    r.values[index(F::Name)] = d.personName;
    r.values[index(F::IdCard)] = d.idCard;
    // The pane's line without its 第N行:姓名: start.
    const std::string line = duplicateLine(d, true);
    const std::size_t start =
        texts::kRowPrefix.size() + std::to_string(d.row).size() + texts::kRowSuffix.size() + d.personName.size() + 1;
    r.problems.push_back(line.substr(start));
    r.problemFields |= 1U << index(F::IdCard);
    results_.add(r);
  }
}

}  // namespace gz::imp
