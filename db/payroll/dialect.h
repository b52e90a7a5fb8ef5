// The statements of the payroll tables, one dialect object per SQL flavour,
// so the callers never join SQL texts themselves. The Jet dialect gives
// complete texts without binds, exactly as the Access database expects them;
// the SQLite and PostgreSQL dialects give one fixed text per statement shape
// with "?" placeholders.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "db/connection.h"
#include "db/payroll/whole_rows.h"
#include "db/row.h"
#include "db/statement.h"

namespace gz::db {

class Dialect {
 public:
  virtual ~Dialect() = default;
  virtual DialectKind kind() const = 0;

  // Institution tree: the count query (result column `cnt`) and the rows in
  // load order (shorter codes first, then by code).
  virtual Statement countInstitutions() const = 0;
  virtual Statement selectInstitutions() const = 0;
  // The people of a department and every department below it (prefix match on bm).
  virtual Statement selectDepartmentPeople(std::string_view deptCode) const = 0;
  // Overwrite: detach and delete the per-person rows of the department's
  // people, table by table, then delete the people. Fifteen statements.
  virtual std::vector<Statement> deleteDepartmentPeople(std::string_view deptCode) const = 0;

  // History rows. `date` is the YYYY-MM-1 text the import builds (year and
  // month as they stand in the sheet, after clamping). nullopt means the
  // statement is refused before it is sent (a date that is not a real date,
  // an assessment code that is not a plain number), exactly as if the
  // database had refused it.
  virtual std::optional<Statement> insertEducation(int64_t personId, bool fullTime, std::string_view date,
                                                   std::string_view educationCode) const = 0;
  virtual std::optional<Statement> updateEducationYears(int64_t wholeYears, int64_t personId,
                                                        std::string_view date) const = 0;
  virtual std::optional<Statement> insertPosition(int64_t personId, std::string_view date,
                                                  std::string_view positionCode) const = 0;
  virtual std::optional<Statement> insertAssessment(int64_t personId, int64_t year,
                                                    std::string_view resultCode) const = 0;

  // Whether two of those date texts name the same day as the database sees
  // it; nullopt where only the database can tell (a text it reads by rules
  // of its own).
  virtual std::optional<bool> sameDate(std::string_view a, std::string_view b) const = 0;
  // insertEducation with dzysxl set to the whole years, for the rows the
  // years update would have reached.
  virtual std::optional<Statement> insertEducationWithYears(int64_t personId, bool fullTime, std::string_view date,
                                                            std::string_view educationCode,
                                                            int64_t wholeYears) const = 0;
  // The names and id card numbers (columns xm, sfzh) of the people of a
  // department and every department below it that have one: read once per
  // append run to find the rows whose people are there already.
  virtual Statement selectDepartmentIdCards(std::string_view deptCode) const = 0;

  // The rows the overwrite of the department deletes, read whole before it
  // does: for each per-person table in person::kPerPersonTables order the
  // rows of the department's people and the rows detached already (mid 0),
  // then the people. Eight statements.
  virtual std::vector<Statement> selectRowsToDelete(std::string_view deptCode) const = 0;
  // A write that changes nothing, run before those reads where a transaction
  // that has read can no longer wait for another writer (SQLite fails such a
  // transaction's first write at once): with the write lock taken first, the
  // deletion waits for other users as it does without the reads.
  virtual std::optional<Statement> takeWriteLock() const = 0;
  // How this flavour writes statements on whole rows.
  virtual WholeRows wholeRows() const = 0;
  // Update by identity number: sets the columns of `columns` (names of
  // ryjbxx, in their order) of the person `personId`, and deletes the rows
  // of one per-person table (ryxl, ryrz, rykh) that belong to the person.
  virtual Statement updatePerson(int64_t personId, const Row& columns) const = 0;
  virtual Statement deletePersonRows(std::string_view table, int64_t personId) const = 0;
  // An update that writes only what differs: the rows of one per-person
  // table of the people of a department and every department below it, read
  // before the update, and one of those rows deleted by its key (`id`).
  virtual Statement selectDepartmentRows(std::string_view table, std::string_view deptCode) const = 0;
  virtual Statement deleteRowById(std::string_view table, int64_t rowId) const = 0;

  // Export, read a slice at a time so that a department of any size is
  // never held whole: at most `limit` people with ids above `afterId`, in id
  // order; only those whose bm is the code, or with `withBelow` those of every
  // department below it too.
  virtual Statement selectExportPeople(std::string_view deptCode, bool withBelow, int64_t afterId, int limit) const = 0;
  // The rows of one history table (ryxl, ryrz, rykh) of the same people with
  // ids in (afterId, lastId], by person, then by date.
  virtual Statement selectExportHistory(std::string_view table, std::string_view deptCode, bool withBelow,
                                        int64_t afterId, int64_t lastId) const = 0;
};

// A connection that builds the payroll statements its own way rather than
// by its SQL flavour: one that passes its work on to another, or a test double.
class DialectSource {
 public:
  virtual ~DialectSource() = default;
  virtual const Dialect& dialect() const = 0;
};

// The dialect of a flavour, one object for the whole program.
const Dialect& dialectFor(DialectKind kind);
// The dialect the connection's statements are built by: its own where it
// is a DialectSource, else that of its SQL flavour.
const Dialect& dialectOf(const Connection& c);

}  // namespace gz::db
