#include <algorithm>
#include <set>
#include <unordered_set>

#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "db/sql_values.h"
#include "import/frontend.h"
#include "import/person_step.h"
#include "import/run_stages.h"
#include "import/run_texts.h"
#include "sheet/model/workbook.h"
#include "text/bytes.h"

namespace gz::imp {
namespace {

// The id card number as compared: without the blanks around it and with a
// final check letter x read as X, the way the number is written either way.
std::string idCardKey(std::string_view gbk) {
  std::string key = text::trim(gbk);
  std::transform(key.begin(), key.end(), key.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
  return key;
}

// The number the person step would store for the cell: a text as it stands,
// a whole number in its digits. Anything else is no number to compare.
std::string rowIdCard(const sheet::Workbook& book, int32_t row, int32_t column) {
  db::Value v;
  if (!cellToDbValue(book.value(static_cast<uint32_t>(row), static_cast<uint32_t>(column)), v)) return {};
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
  return {};
}

}  // namespace

std::vector<DuplicateRow> findDuplicates(const DuplicateCheck& in) {
  std::vector<DuplicateRow> found;
  if (in.columns.idCard == 0) return found;
  std::unordered_set<std::string> stored;
  const std::unique_ptr<db::ResultSet> rs = in.conn.query(db::dialectOf(in.conn).selectDepartmentIdCards(in.deptCode));
  while (rs->next()) {
    std::string key = idCardKey(rs->text("sfzh"));
    if (!key.empty()) stored.insert(std::move(key));
  }
  if (stored.empty()) return found;
  for (int32_t row = in.firstRow;; ++row) {
    std::string name = nameCell(in.book, in.columns, row);
    if (name.empty()) break;
    std::string idCard = rowIdCard(in.book, row, in.columns.idCard);
    const std::string key = idCardKey(idCard);
    if (!key.empty() && stored.count(key) != 0) found.push_back({row, std::move(name), std::move(idCard)});
  }
  return found;
}

std::optional<ImportOutcome> settleDuplicates(const DuplicateCheck& in, Frontend& frontend,
                                              std::set<int32_t>& skipped) {
  const std::vector<DuplicateRow> found = findDuplicates(in);
  if (found.empty()) return std::nullopt;
  switch (frontend.duplicatesFound(found)) {
    case DuplicateAnswer::ImportAll: return std::nullopt;
    case DuplicateAnswer::SkipExisting:
      for (const DuplicateRow& d : found) skipped.insert(d.row);
      return std::nullopt;
    case DuplicateAnswer::Cancel: break;
  }
  return endedBeforeWriting(RunEnd::Cancelled, duplicatesRefusedMessage(static_cast<int>(found.size())));
}

}  // namespace gz::imp
