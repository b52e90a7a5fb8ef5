// What an update writes of a person it finds in the department: only what
// differs from the person's rows as stored. A person column equal to the
// sheet's is not written, an education, position or assessment row equal to
// one the sheet gives stays as it is (its id included), and of the stored
// rows only those the sheet no longer gives are deleted. The change observer
// is told before the first write to the person, and only when there is one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/connection.h"
#include "import/shared/step_context.h"

namespace gz::imp {

class ChangeObserver;

// The rows of the people an update may change, as stored when it begins:
// read once per table before any row is written, since rows written in
// batches cannot read the database between their statements.
class StoredPeople {
 public:
  struct Rows {
    std::vector<std::string> names;  // the columns, as the database names them
    std::unordered_map<int64_t, std::vector<std::vector<db::Value>>> byPerson;
    bool readable = true;  // false when the table could not be read: the person's rows are replaced then
  };
  // The people `ids` of the department `deptCode` (and those below it), with
  // their rows of the history tables `columns` has a column for.
  StoredPeople(db::Connection& conn, std::string_view deptCode, const SheetColumns& columns,
               const std::unordered_set<int64_t>& ids);

  const Rows& people() const { return people_; }
  const Rows* history(std::string_view table) const;

 private:
  Rows people_;
  std::vector<std::pair<std::string, Rows>> history_;
};

class PersonRewrite {
 public:
  // `rewritten` holds the people an earlier row of the run rewrote: the rows
  // read at the start no longer show them, so such a person's history is
  // replaced whole, as it is where the database cannot say which stored row
  // is which (no id column, the Access flavour).
  PersonRewrite(const StepContext& ctx, int64_t personId, ChangeObserver* changes, const StoredPeople& stored,
                std::unordered_set<int64_t>& rewritten);

  // Writes the columns of `columns` whose stored value differs. False when
  // the database refuses.
  bool updatePerson(const db::Row& columns);
  // Runs the history inserts of one step; an insert equal to a stored row
  // not matched yet is not sent and counts as stored. Says for each whether
  // it was stored.
  std::vector<bool> writeHistory(const std::vector<db::Statement>& inserts);
  // Deletes the stored history rows no insert matched. False when refused.
  bool deleteUnmatched();

 private:
  struct StoredTable {
    const char* table = nullptr;
    const std::vector<std::string>* written = nullptr;  // the columns the import writes in it
    const std::vector<std::string>* names = nullptr;    // the stored rows' columns
    std::vector<std::vector<db::Value>> rows;
    std::vector<bool> matched;
    int idColumn = -1;
  };
  void beforeWrite();
  StoredTable* storedFor(const db::Statement& insert);

  const StepContext& ctx_;
  const StoredPeople& stored_;
  int64_t id_;
  ChangeObserver* changes_;
  bool told_ = false;
  bool replacing_ = false;
  std::vector<StoredTable> tables_;
};

// Whether a stored value and one about to be written are the same value in
// the database: both null, or equal as numbers, texts or dates, whichever
// form the database hands back (a text column gives "12" for 12).
bool sameStoredValue(const db::Value& stored, const db::Value& written);

}  // namespace gz::imp
