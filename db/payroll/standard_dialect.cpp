#include "db/payroll/standard_dialect.h"

#include <memory>
#include <string>
#include <vector>

#include "db/payroll/person_columns.h"
#include "db/sql_values.h"

namespace gz::db {

namespace {

// The department's people: bm begins with the code. A "%" or "_" in the code
// stays a wildcard of the like comparison, so a code matches as it always
// has in stored databases.
Value prefixPattern(std::string_view deptCode) { return std::string(deptCode) + "%"; }

// The history tables' inserts, by the columns they set.
const InsertShape kEducation("ryxl", {"mid", "xxxs", "xlrq", "xldm"});
const InsertShape kEducationWithYears("ryxl", {"mid", "xxxs", "xlrq", "xldm", "dzysxl"});
const InsertShape kPosition("ryrz", {"mid", "rzrq", "rzzwdm", "gzzwdm"});
const InsertShape kAssessment("rykh", {"mid", "khnd", "khjg"});

// The date column each history table is ordered by in an export.
std::string historyDateColumn(std::string_view table) {
  if (table == "ryxl") return "xlrq";
  if (table == "ryrz") return "rzrq";
  return "khnd";
}

}  // namespace

Statement StandardDialect::countInstitutions() const { return {"select count(*) as cnt from dm_jg", {}}; }

Statement StandardDialect::selectInstitutions() const {
  // Codes order byte by byte, whatever the server's collation.
  if (kind_ == DialectKind::Postgres) return {"select * from dm_jg order by length(jgdm),jgdm collate \"C\"", {}};
  return {"select * from dm_jg order by length(jgdm),jgdm", {}};
}

Statement StandardDialect::selectDepartmentPeople(std::string_view deptCode) const {
  return {"select * from ryjbxx where bm like ?", {prefixPattern(deptCode)}};
}

std::vector<Statement> StandardDialect::deleteDepartmentPeople(std::string_view deptCode) const {
  std::vector<Statement> out;
  for (const char* table : person::kPerPersonTables) {
    const std::string name = table;
    out.push_back({"update " + name + " set mid=0 where mid in (select id from ryjbxx where bm like ?)",
                   {prefixPattern(deptCode)}});
    out.push_back({"delete from " + name + " where mid=0", {}});
  }
  out.push_back({"delete from ryjbxx where bm like ?", {prefixPattern(deptCode)}});
  return out;
}

std::optional<Statement> StandardDialect::insertEducation(int64_t personId, bool fullTime, std::string_view date,
                                                          std::string_view educationCode) const {
  const auto d = parseDateText(date);
  if (!d) return std::nullopt;
  return kEducation.statement({personId, std::string(person::studyModeText(fullTime)), *d, std::string(educationCode)});
}

std::optional<Statement> StandardDialect::updateEducationYears(int64_t wholeYears, int64_t personId,
                                                               std::string_view date) const {
  const auto d = parseDateText(date);
  if (!d) return std::nullopt;
  return Statement{"update ryxl set dzysxl=? where mid=? and xlrq=?", {wholeYears, personId, *d}};
}

std::optional<Statement> StandardDialect::insertPosition(int64_t personId, std::string_view date,
                                                         std::string_view positionCode) const {
  const auto d = parseDateText(date);
  if (!d) return std::nullopt;
  return kPosition.statement({personId, *d, std::string(positionCode), std::string(positionCode)});
}

std::optional<Statement> StandardDialect::insertAssessment(int64_t personId, int64_t year,
                                                           std::string_view resultCode) const {
  auto code = plainNumberValue(resultCode);
  if (!code) return std::nullopt;
  return kAssessment.statement({personId, year, *code});
}

std::optional<bool> StandardDialect::sameDate(std::string_view a, std::string_view b) const {
  // A text that is no date never reaches the table (its insert is refused
  // before it is sent), nor does an update naming it: it matches nothing.
  const auto left = parseDateText(a);
  const auto right = parseDateText(b);
  return left && right && *left == *right;
}

std::optional<Statement> StandardDialect::insertEducationWithYears(int64_t personId, bool fullTime,
                                                                   std::string_view date,
                                                                   std::string_view educationCode,
                                                                   int64_t wholeYears) const {
  const auto d = parseDateText(date);
  if (!d) return std::nullopt;
  return kEducationWithYears.statement(
      {personId, std::string(person::studyModeText(fullTime)), *d, std::string(educationCode), wholeYears});
}

Statement StandardDialect::selectDepartmentIdCards(std::string_view deptCode) const {
  return {"select xm,sfzh from ryjbxx where bm like ? and sfzh is not null and sfzh<>''", {prefixPattern(deptCode)}};
}

std::vector<Statement> StandardDialect::selectRowsToDelete(std::string_view deptCode) const {
  // PostgreSQL locks the rows read, so no other user changes them between
  // the reading and the deletion.
  const std::string lock = kind_ == DialectKind::Postgres ? " for update" : "";
  std::vector<Statement> out;
  for (const char* table : person::kPerPersonTables)
    out.push_back({"select * from " + std::string(table) +
                       " where mid in (select id from ryjbxx where bm like ?) or mid=0" + lock,
                   {prefixPattern(deptCode)}});
  out.push_back({"select * from ryjbxx where bm like ?" + lock, {prefixPattern(deptCode)}});
  return out;
}

std::optional<Statement> StandardDialect::takeWriteLock() const {
  if (kind_ != DialectKind::Sqlite) return std::nullopt;
  return Statement{"update ryjbxx set id=id where 0=1", {}};
}

WholeRows StandardDialect::wholeRows() const {
  return WholeRows{.inlineValues = false, .overrideIdentity = kind_ == DialectKind::Postgres};
}

Statement StandardDialect::updatePerson(int64_t personId, const Row& columns) const {
  Statement s{"update ryjbxx set ", {}};
  for (const auto& [name, value] : columns.columns()) {
    if (!s.binds.empty()) s.text += ',';
    s.text.append(name).append("=?");
    s.binds.push_back(wholeNumberAsInteger(value));
  }
  s.text += " where id=?";
  s.binds.emplace_back(personId);
  return s;
}

Statement StandardDialect::deletePersonRows(std::string_view table, int64_t personId) const {
  return {"delete from " + std::string(table) + " where mid=?", {personId}};
}

Statement StandardDialect::selectDepartmentRows(std::string_view table, std::string_view deptCode) const {
  return {"select * from " + std::string(table) + " where mid in (select id from ryjbxx where bm like ?)",
          {prefixPattern(deptCode)}};
}

Statement StandardDialect::deleteRowById(std::string_view table, int64_t rowId) const {
  return {"delete from " + std::string(table) + " where id=?", {rowId}};
}

Statement StandardDialect::selectExportPeople(std::string_view deptCode, bool withBelow, int64_t afterId,
                                              int limit) const {
  return {
      std::string("select * from ryjbxx where bm ") + (withBelow ? "like" : "=") + " ? and id>? order by id limit ?",
      {withBelow ? prefixPattern(deptCode) : Value(std::string(deptCode)), afterId, int64_t{limit}}};
}

Statement StandardDialect::selectExportHistory(std::string_view table, std::string_view deptCode, bool withBelow,
                                               int64_t afterId, int64_t lastId) const {
  return {"select * from " + std::string(table) + " where mid in (select id from ryjbxx where bm " +
              (withBelow ? "like" : "=") + " ? and id>? and id<=?) order by mid," + historyDateColumn(table),
          {withBelow ? prefixPattern(deptCode) : Value(std::string(deptCode)), afterId, lastId}};
}

}  // namespace gz::db
