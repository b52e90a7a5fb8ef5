// SQL flavours. One dialect object per backend builds every statement the
// system sends, so the callers never join SQL texts themselves.
//
// A Statement is a text plus bound values. The Jet dialect gives complete
// texts without binds, exactly as the Access database expects them; the SQLite
// and PostgreSQL dialects give one fixed text per statement shape with "?"
// placeholders, so the connection can prepare each shape once.
// All texts and text values are GB 18030.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/value.h"

namespace gz::db {

// The table and columns of a plain insert of one row.
struct InsertInto {
  std::string table;
  std::vector<std::string> columns;
  bool operator==(const InsertInto&) const = default;
};

struct Statement {
  Statement() = default;
  Statement(std::string text, std::vector<Value> binds = {}, std::shared_ptr<const InsertInto> into = {})
      : text(std::move(text)), binds(std::move(binds)), into(std::move(into)) {}

  std::string text;
  std::vector<Value> binds;
  // Set on a plain insert of one row, whose binds are then the row's values
  // column by column: a batch loads such rows by table and columns.
  std::shared_ptr<const InsertInto> into;
};

// "insert into table (a,b) values (?,?)" with `values` bound, one per column.
Statement insertStatement(std::shared_ptr<const InsertInto> into, std::vector<Value> values);

enum class DialectKind { Jet, Sqlite, Postgres };

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
};

std::unique_ptr<Dialect> makeDialect(DialectKind kind);

// A value as an SQL literal (GB 18030): numbers in plain decimal, texts quoted with
// every single quote doubled, dates as 'YYYY-MM-DD', null as null.
std::string literalText(const Value& v);
// The statement with each "?" replaced by its bound value's literal, for
// messages and for comparing statements in tests. Texts without binds are
// returned unchanged.
std::string renderStatement(const Statement& s);

}  // namespace gz::db
