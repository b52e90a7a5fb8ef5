#include <algorithm>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "db/connection.h"
#include "db/payroll/dialect.h"
#include "db/sql_values.h"
#include "import/run/run_stages.h"
#include "import/shared/frontend.h"
#include "import/shared/run_texts.h"
#include "import/steps/identity_number.h"
#include "import/steps/person_checks.h"
#include "import/steps/person_step.h"
#include "sheet/model/workbook.h"
#include "text/bytes.h"

namespace gz::imp {
namespace {

// The department's numbers, compared as idNumberKey() gives them: without
// blanks, with full-width digits and letters read as ASCII and a check letter
// x read as X, the way the number is written either way. A cell that holds no
// number in the form of one has no key and is never a duplicate.
std::unordered_set<std::string> departmentIdCards(const DuplicateCheck& in) {
  std::unordered_set<std::string> stored;
  const std::unique_ptr<db::ResultSet> rs = in.conn.query(db::dialectOf(in.conn).selectDepartmentIdCards(in.deptCode));
  while (rs->next()) {
    std::string key = idNumberKey(rs->text("sfzh"));
    if (!key.empty()) stored.insert(std::move(key));
  }
  return stored;
}

}  // namespace

std::vector<DuplicateRow> findDuplicates(const DuplicateCheck& in) {
  std::vector<DuplicateRow> found;
  if (in.columns.idCard == 0) return found;
  const std::unordered_set<std::string> stored =
      in.againstDepartment ? departmentIdCards(in) : std::unordered_set<std::string>{};
  std::unordered_map<std::string, std::pair<int32_t, std::string>> firstSeen;  // number: its first row and name
  for (int32_t row = in.firstRow;; ++row) {
    std::string name = nameCell(in.book, in.columns, row);
    if (name.empty()) break;
    std::string idCard = rowIdCard(in.book, row, in.columns.idCard);
    const std::string key = idNumberKey(idCard);
    if (key.empty()) continue;
    if (stored.count(key) != 0) {
      found.push_back({row, std::move(name), std::move(idCard), 0, {}});
      continue;
    }
    const auto [first, fresh] = firstSeen.try_emplace(key, row, name);
    if (!fresh) found.push_back({row, std::move(name), std::move(idCard), first->second.first, first->second.second});
  }
  return found;
}

std::optional<ImportOutcome> settleDuplicates(const DuplicateCheck& in, Frontend& frontend, std::set<int32_t>& skipped,
                                              bool& update, std::vector<DuplicateRow>* skippedRows) {
  const std::vector<DuplicateRow> found = findDuplicates(in);
  if (found.empty()) return std::nullopt;
  switch (frontend.duplicatesFound(found)) {
    case DuplicateAnswer::ImportAll: return std::nullopt;
    case DuplicateAnswer::UpdateExisting: update = true; return std::nullopt;
    case DuplicateAnswer::SkipExisting:
      for (const DuplicateRow& d : found) skipped.insert(d.row);
      if (skippedRows) *skippedRows = found;
      return std::nullopt;
    case DuplicateAnswer::Cancel: break;
  }
  const bool withinWorkbook =
      std::any_of(found.begin(), found.end(), [](const DuplicateRow& d) { return d.sameAsRow != 0; });
  return endedBeforeWriting(RunEnd::Cancelled,
                            duplicatesRefusedMessage(static_cast<int>(found.size()), withinWorkbook));
}

}  // namespace gz::imp
