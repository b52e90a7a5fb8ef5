#include "import/steps/update_people.h"

#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "import/shared/change_observer.h"
#include "import/shared/texts.h"
#include "import/steps/identity_number.h"
#include "import/steps/person_checks.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/workbook.h"

namespace gz::imp {
namespace {

namespace col = db::person;

// The column a sheet title fills, for each title the person step reads.
struct TitledColumn {
  int32_t SheetColumns::* title;
  const char* column;
};
constexpr TitledColumn kTitledColumns[] = {
    {&SheetColumns::name, col::kName},
    {&SheetColumns::serial, col::kSerial},
    {&SheetColumns::idCard, col::kIdCard},
    {&SheetColumns::seniority, col::kSeniorityDeduction},
    {&SheetColumns::sex, col::kSex},
    {&SheetColumns::ethnic, col::kEthnic},
    {&SheetColumns::birth, col::kBirth},
    {&SheetColumns::workStart, col::kWorkStart},
    {&SheetColumns::status, col::kStatus},
    {&SheetColumns::deductYears, col::kYearsNotCounted},
    {&SheetColumns::collegeYears, col::kCollegeMonths},
};

}  // namespace

PeopleByNumber::PeopleByNumber(db::Connection& conn, std::string_view deptCode) {
  const std::unique_ptr<db::ResultSet> rs = conn.query(db::dialectOf(conn).selectDepartmentPeople(deptCode));
  while (rs->next()) {
    ++people_;
    std::string key = idNumberKey(rs->text(col::kIdCard));
    if (!key.empty()) byKey_[std::move(key)].push_back(rs->integer(col::kId));
  }
}

const std::vector<int64_t>& PeopleByNumber::withKey(const std::string& key) const {
  static const std::vector<int64_t> kNone;
  const auto found = byKey_.find(key);
  return found == byKey_.end() ? kNone : found->second;
}

int PeopleByNumber::notNamed(const std::unordered_set<std::string>& named) const {
  int count = people_;
  for (const auto& [key, ids] : byKey_)
    if (named.count(key) != 0) count -= static_cast<int>(ids.size());
  return count;
}

void UpdateRun::readStored(db::Connection& conn, std::string_view deptCode, const SheetColumns& columns,
                           const std::unordered_set<std::string>& named) {
  std::unordered_set<int64_t> ids;
  for (const std::string& key : named)
    if (const std::vector<int64_t>& found = people_.withKey(key); found.size() == 1) ids.insert(found.front());
  stored_ = std::make_unique<StoredPeople>(conn, deptCode, columns, ids);
  targets_.stored = stored_.get();
}

RowTarget rowTarget(const sheet::Workbook& book, const SheetColumns& columns, int32_t row,
                    const PeopleByNumber& people) {
  RowTarget target;
  if (columns.idCard != 0) {
    const sheet::CellValue cell = book.value(static_cast<uint32_t>(row), static_cast<uint32_t>(columns.idCard));
    db::Value v;
    std::string idText;
    switch (readIdCardCell(cell, v, idText)) {
      case IdCellRead::Ok: break;
      case IdCellRead::LostDigits: target.refusal = texts::kReasonIdLostDigits; return target;
      case IdCellRead::ErrorValue:
        target.refusal.append(texts::kTitleIdCard).append(texts::kReasonErrorCell).append(sheet::cellText(cell));
        return target;
    }
  }
  const std::string key = columns.idCard != 0 ? idNumberKey(rowIdCard(book, row, columns.idCard)) : "";
  if (key.empty()) {
    target.refusal = texts::kReasonNoIdToMatch;
    return target;
  }
  const std::vector<int64_t>& ids = people.withKey(key);
  if (ids.size() > 1) target.refusal = texts::kReasonIdShared;
  else if (ids.size() == 1) target.id = ids.front();
  return target;
}

std::unordered_set<std::string> workbookNumbers(const sheet::Workbook& book, const SheetColumns& columns,
                                                int32_t firstRow) {
  std::unordered_set<std::string> keys;
  if (columns.idCard == 0) return keys;
  for (int32_t row = firstRow; !nameCell(book, columns, row).empty(); ++row) {
    std::string key = idNumberKey(rowIdCard(book, row, columns.idCard));
    if (!key.empty()) keys.insert(std::move(key));
  }
  return keys;
}

db::Row updatedColumns(const SheetColumns& columns, const db::PersonRecord& record) {
  db::Row out;
  for (const TitledColumn& c : kTitledColumns) {
    if (columns.*c.title == 0) continue;
    db::Value value;
    for (const auto& [name, v] : record.columns())
      if (name == c.column) value = v;
    out.set(c.column, std::move(value));
  }
  return out;
}

}  // namespace gz::imp
