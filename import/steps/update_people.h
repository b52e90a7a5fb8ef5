// Update by identity number: a sheet row whose folded identity number names
// exactly one person of the department updates that person in place (the
// person keeps its id, its department and the rows of the tables the import
// does not write); a row whose number names nobody adds a person. Only
// numbers in the form of one are matched: a row saying 无 has no number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/payroll/person_columns.h"
#include "import/shared/step_context.h"
#include "import/steps/person_rewrite.h"

namespace gz::imp {

class ChangeObserver;

// The people of a department and of the departments below it (prefix match
// on bm) by folded identity number, read once before the rows.
class PeopleByNumber {
 public:
  PeopleByNumber(db::Connection& conn, std::string_view deptCode);

  // The ids of the people whose folded number is `key`.
  const std::vector<int64_t>& withKey(const std::string& key) const;
  // How many of the people no key of `named` names, those without a number included.
  int notNamed(const std::unordered_set<std::string>& named) const;

 private:
  std::unordered_map<std::string, std::vector<int64_t>> byKey_;
  int people_ = 0;
};

// What the rows of an update run read.
struct UpdateTargets {
  const PeopleByNumber& people;
  ChangeObserver* changes = nullptr;  // told before a person is changed, when set
  const StoredPeople* stored = nullptr;              // the rows of the people the sheet may change
  std::unordered_set<int64_t>* rewritten = nullptr;  // the people rows of the run rewrote so far
};

// The update of one run, set up once the run knows that it updates: the
// department's people read, and what the rows read of them.
class UpdateRun {
 public:
  UpdateRun(db::Connection& conn, std::string_view deptCode, ChangeObserver* changes)
      : people_(conn, deptCode), targets_{people_, changes, nullptr, &rewritten_} {}
  // Reads the stored rows of the people the folded numbers `named` name
  // (the workbook's), before any row is written.
  void readStored(db::Connection& conn, std::string_view deptCode, const SheetColumns& columns,
                  const std::unordered_set<std::string>& named);
  UpdateRun(const UpdateRun&) = delete;
  UpdateRun& operator=(const UpdateRun&) = delete;

  const PeopleByNumber& people() const { return people_; }
  const UpdateTargets& targets() const { return targets_; }

 private:
  PeopleByNumber people_;
  std::unique_ptr<StoredPeople> stored_;
  std::unordered_set<int64_t> rewritten_;
  UpdateTargets targets_;
};

// What one row of an update run does: update the person `id`, or add a
// person when `id` is 0; nothing at all when `refusal` (GB 18030) is set.
struct RowTarget {
  int64_t id = 0;
  std::string refusal;
};
RowTarget rowTarget(const sheet::Workbook& book, const SheetColumns& columns, int32_t row,
                    const PeopleByNumber& people);

// The folded numbers of the data rows from `firstRow` up to the first empty name.
std::unordered_set<std::string> workbookNumbers(const sheet::Workbook& book, const SheetColumns& columns,
                                                int32_t firstRow);

// The person columns the sheet has titles for, with the values of `record`
// as the person step filled it (null where it left a column unset, as an
// insert would store it). The department and the values every new person
// starts with are not among them: an update leaves them as they are.
db::Row updatedColumns(const SheetColumns& columns, const db::PersonRecord& record);

}  // namespace gz::imp
