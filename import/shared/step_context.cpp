#include "import/shared/step_context.h"

#include <utility>

#include "import/shared/column_map.h"
#include "import/shared/frontend.h"
#include "import/shared/roster_footer.h"
#include "import/shared/stored_values.h"
#include "import/shared/texts.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/workbook.h"
#include "text/bytes.h"

namespace gz::imp {

SheetColumns SheetColumns::resolve(ColumnMap& map) {
  using namespace texts;
  SheetColumns c;
  c.name = map.lookup(kTitleName);
  c.serial = map.lookup(kTitleSerial);
  c.idCard = map.lookup(kTitleIdCard);
  for (std::string_view form : {kTitleSeniority1, kTitleSeniority2, kTitleSeniority3, kTitleSeniority4}) {
    c.seniorityTitle = form;
    if ((c.seniority = map.lookup(form)) != 0) break;
  }
  c.sex = map.lookup(kTitleSex);
  c.ethnic = map.lookup(kTitleEthnic);
  c.birth = map.lookup(kTitleBirth);
  c.workStartTitle = kTitleWorkStart;
  c.workStart = map.lookup(kTitleWorkStart);
  if (c.workStart == 0) {
    c.workStartTitle = kTitleJoinWork;
    c.workStart = map.lookup(kTitleJoinWork);
  }
  c.status = map.lookup(kTitleStatus);
  c.deductYears = map.lookup(kTitleDeductYears);
  c.collegeYears = map.lookup(kTitleCollegeYears);
  c.education = map.lookup(kTitleEducation);
  c.position = map.lookup(kTitlePosition);
  c.assessment = map.lookup(kTitleAssessment);
  return c;
}

std::string unreadableCellReason(const StepContext& ctx, int32_t row) {
  using namespace texts;
  const SheetColumns& c = ctx.columns;
  const std::pair<int32_t, std::string_view> read[] = {
      {c.name, kTitleName},
      {c.serial, kTitleSerial},
      {c.idCard, kTitleIdCard},
      {c.seniority, c.seniorityTitle},
      {c.sex, kTitleSex},
      {c.ethnic, kTitleEthnic},
      {c.birth, kTitleBirth},
      {c.workStart, c.workStartTitle},
      {c.status, kTitleStatus},
      {c.deductYears, kTitleDeductYears},
      {c.collegeYears, kTitleCollegeYears},
      {c.education, kTitleEducation},
      {c.position, kTitlePosition},
      {c.assessment, kTitleAssessment},
  };
  for (const auto& [column, title] : read) {
    if (column == 0) continue;
    const auto r = static_cast<uint32_t>(row);
    const auto c = static_cast<uint32_t>(column);
    if (!ctx.book.sheet().unreadableAt(r, c)) continue;
    std::string reason(title);
    reason.append("\"").append(*ctx.book.sheet().textAt(r, c)).append("\"").append(kReasonUnreadableText);
    return reason;
  }
  return {};
}

namespace {

// A text cell is read in place; any other is turned into its text.
template <typename Use>
auto withCellText(const sheet::Workbook& book, int32_t row, int32_t column, Use use) {
  const auto r = static_cast<uint32_t>(row);
  const auto c = static_cast<uint32_t>(column);
  if (const std::string* text = book.sheet().textAt(r, c)) return use(*text);
  return use(sheet::cellText(book.value(r, c)));
}

}  // namespace

std::string nameCell(const sheet::Workbook& book, const SheetColumns& columns, int32_t row) {
  std::string name = withCellText(book, row, columns.name, [](const std::string& t) { return t; });
  // A totals or signature line below the people ends the data like an empty name.
  if (!name.empty() && isFooterRow(book, columns, row)) return {};
  return name;
}

HistoryCell::HistoryCell(const StepContext& ctx, int32_t row, int32_t column) {
  if (column == 0) return;
  const auto r = static_cast<uint32_t>(row);
  const auto c = static_cast<uint32_t>(column);
  const std::string* text = ctx.book.sheet().textAt(r, c);
  if (!text) {
    converted_ = sheet::cellText(ctx.book.value(r, c));
    text = &converted_;
  }
  lines_ = text::splitLineViews(*text);
}

void reportNoCode(const StepContext& ctx, HistoryKind kind, std::string_view personName, std::string_view name,
                  HistoryCounts& counts) {
  ctx.frontend.lineWithoutCode(kind, personName, name);
  ++counts.reported;
  if (ctx.stored) ctx.stored->linesWithoutCode.push_back({kind, {}, std::string(name), {}});
}

}  // namespace gz::imp
