#include "import/steps/person_checks.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <variant>

#include "codes/code_map.h"
#include "import/shared/texts.h"
#include "import/steps/person_step.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/workbook.h"
#include "text/bytes.h"

namespace gz::imp {
namespace {

// A number cell of this size or more has lost digits: a spreadsheet keeps
// 15 significant digits.
constexpr double kLostDigitsFrom = 1e15;
constexpr int kFirstYear = 1900;
constexpr int kWorkingAge = 14;

std::string dayText(const CalendarDay& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

std::string monthText(const CalendarDay& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d", d.year, d.month);
  return buf;
}

std::string quoted(std::string_view title, std::string_view value) {
  std::string s(title);
  return s.append("\"").append(value).append("\"");
}

// Male or female as the row says it: 男 or 女, the codes 1 and 2, or a code
// the map gave for the text.
std::optional<bool> rowSaysMale(const PersonFacts& f) {
  const std::string t = text::trim(f.sexText);
  const std::string_view code = f.sexCode ? std::string_view(*f.sexCode) : std::string_view();
  for (const std::string_view said : {std::string_view(t), code}) {
    if (said == texts::kSexMale || said == "1") return true;
    if (said == texts::kSexFemale || said == "2") return false;
  }
  return std::nullopt;
}

std::string idWarning(const PersonFacts& f, const IdFinding& x) {
  std::string s = quoted(texts::kTitleIdCard, f.idCard);
  switch (x.fault) {
    case IdFault::FullWidth: return s.append(texts::kIdFullWidth);
    case IdFault::InnerBlank: return s.append(texts::kIdInnerBlank);
    case IdFault::NotAnIdNumber: return s.append(texts::kIdNotAnId);
    case IdFault::CheckDigit: return s.append(texts::kIdCheckDigit).append(1, x.expected);
    case IdFault::Province: return s.append(texts::kIdProvince);
    case IdFault::DateNotADay: return s.append(texts::kIdDateNotADay);
    case IdFault::DateInFuture: return s.append(texts::kIdDateInFuture);
    case IdFault::DateBefore1900: return s.append(texts::kIdDateBefore1900);
    case IdFault::BirthDisagrees:
      s.append(texts::kIdBirthInside).append(monthText(x.inside)).append(texts::kDisagreesWith);
      return s.append(texts::kTitleBirth).append(monthText(*f.birth)).append(texts::kDisagreeEnd);
    case IdFault::SexDisagrees:
      s.append(texts::kIdSexInside).append(x.male ? texts::kMale : texts::kFemale).append(texts::kDisagreesWith);
      return s.append(quoted(texts::kTitleSex, f.sexText)).append(texts::kDisagreeEnd);
  }
  return s;
}

void dateWarnings(const PersonFacts& f, const CalendarDay& today, std::vector<std::string>& out) {
  // The day's text is written only for a warning: most rows have none.
  const auto warn = [&out](std::string_view title, const CalendarDay& day, std::string_view why) {
    out.push_back(std::string(title).append(dayText(day)).append(why));
  };
  if (f.birth) {
    if (*f.birth > today) warn(texts::kTitleBirth, *f.birth, texts::kDateAfterToday);
    else if (f.birth->year < kFirstYear) warn(texts::kTitleBirth, *f.birth, texts::kDateBefore1900);
  }
  if (f.workStart) {
    // The 14th birthday of someone born on 29 February is 1 March in a common
    // year; comparing the days as (year, month, day) gives just that.
    const CalendarDay working =
        f.birth ? CalendarDay{f.birth->year + kWorkingAge, f.birth->month, f.birth->day} : CalendarDay{};
    if (*f.workStart > today) warn(f.workStartTitle, *f.workStart, texts::kDateAfterToday);
    else if (f.birth && *f.workStart < working) warn(f.workStartTitle, *f.workStart, texts::kDateBefore14);
  }
}

}  // namespace

IdCellRead readIdCardCell(const sheet::CellValue& cell, db::Value& out, std::string& idText) {
  if (cell.kind == sheet::CellKind::Number && !cell.isDate) {
    if (std::fabs(cell.number) >= kLostDigitsFrom) return IdCellRead::LostDigits;
    if (cell.number >= 0 && std::trunc(cell.number) == cell.number) {
      idText = std::to_string(static_cast<int64_t>(cell.number));
      out = idText;
      return IdCellRead::Ok;
    }
  }
  if (!cellToDbValue(cell, out)) return IdCellRead::ErrorValue;
  idText = sheet::cellText(cell);
  return IdCellRead::Ok;
}

std::string rowIdCard(const sheet::Workbook& book, int32_t row, int32_t column) {
  db::Value v;
  std::string idText;
  const sheet::CellValue cell = book.value(static_cast<uint32_t>(row), static_cast<uint32_t>(column));
  if (readIdCardCell(cell, v, idText) != IdCellRead::Ok) return {};
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  return {};
}

std::optional<std::string> sexCodeFor(std::string_view cellText, codes::CodeMap& codes) {
  if (text::compareBytes(cellText, "1") >= 0 && text::compareBytes(cellText, "2") <= 0) return codes.lookup(cellText);
  if (cellText.empty()) return std::nullopt;
  const std::string& code = codes.lookup(cellText);
  if (code.empty()) return std::nullopt;
  return code;
}

std::vector<std::string> personWarnings(const PersonFacts& f, const CalendarDay& today) {
  std::vector<std::string> out;
  if (!text::trimView(f.idCard).empty()) {
    const IdRowFacts row{f.birth, rowSaysMale(f), today};
    for (const IdFinding& x : checkIdNumber(f.idCard, row)) out.push_back(idWarning(f, x));
  }
  if (!f.sexCode && !f.sexText.empty()) out.push_back(quoted(texts::kTitleSex, f.sexText).append(texts::kSexNoCode));
  dateWarnings(f, today, out);
  return out;
}

CalendarDay todayDate() {
  const std::chrono::year_month_day d{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
  return {static_cast<int>(d.year()), static_cast<int>(static_cast<unsigned>(d.month())),
          static_cast<int>(static_cast<unsigned>(d.day()))};
}

}  // namespace gz::imp
