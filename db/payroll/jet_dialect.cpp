// The Access (Jet) flavour: complete statement texts with the values written
// in, no bound values. Each text has one fixed form, kept byte for byte (the
// dialect tests hold it), so the same work always sends the same statement.
// Text values have their single quotes doubled so that no value can end its
// literal early.
#include "db/payroll/jet_dialect.h"

#include <string>

#include "db/payroll/person_columns.h"
#include "db/sql_values.h"

namespace gz::db {

namespace {

// A date text that could never be a date in Jet and would change the
// statement's structure inside '...' or #...# is refused outright.
bool safeDateText(std::string_view date) {
  return date.find('\'') == std::string_view::npos && date.find('#') == std::string_view::npos;
}

Statement text(std::string s) { return Statement{std::move(s), {}}; }

// The department's people for an export: bm the code itself, or any code that begins with it.
std::string departmentFilter(std::string_view deptCode, bool withBelow) {
  return withBelow ? "bm like '" + doubleQuotes(deptCode) + "%'" : "bm='" + doubleQuotes(deptCode) + "'";
}

std::string historyDateColumn(std::string_view table) {
  if (table == "ryxl") return "xlrq";
  if (table == "ryrz") return "rzrq";
  return "khnd";
}

}  // namespace

DialectKind JetDialect::kind() const { return DialectKind::Jet; }

Statement JetDialect::countInstitutions() const { return text("select count(*) as cnt from dm_jg "); }

Statement JetDialect::selectInstitutions() const { return text("select * from dm_jg order by len(jgdm),jgdm"); }

Statement JetDialect::selectDepartmentPeople(std::string_view deptCode) const {
  return text("select * from ryjbxx where bm like '" + doubleQuotes(deptCode) + "%'");
}

std::vector<Statement> JetDialect::deleteDepartmentPeople(std::string_view deptCode) const {
  const std::string pattern = doubleQuotes(deptCode) + "%'";
  std::vector<Statement> out;
  for (const char* table : person::kPerPersonTables) {
    const std::string name = table;
    // The last table's update has two blanks before its alias: part of its fixed form.
    const char* gap = name == "rygzbhb" ? "  " : " ";
    out.push_back(text("update " + name + gap + "a,ryjbxx b set a.mid=0 where a.mid=b.id and b.bm like '" + pattern));
    out.push_back(text("delete from " + name + " where mid=0"));
  }
  out.push_back(text("delete from ryjbxx where bm like '" + pattern));
  return out;
}

std::optional<Statement> JetDialect::insertEducation(int64_t personId, bool fullTime, std::string_view date,
                                                     std::string_view educationCode) const {
  if (!safeDateText(date)) return std::nullopt;
  return text("insert into ryxl (mid,xxxs,xlrq,xldm) values (" + std::to_string(personId) + ",'" +
              std::string(person::studyModeText(fullTime)) + "','" + std::string(date) + "','" +
              doubleQuotes(educationCode) + "')");
}

std::optional<Statement> JetDialect::updateEducationYears(int64_t wholeYears, int64_t personId,
                                                          std::string_view date) const {
  if (!safeDateText(date)) return std::nullopt;
  return text("update ryxl set dzysxl=" + std::to_string(wholeYears) + " where mid=" + std::to_string(personId) +
              " and xlrq=#" + std::string(date) + "#");
}

std::optional<Statement> JetDialect::insertPosition(int64_t personId, std::string_view date,
                                                    std::string_view positionCode) const {
  if (!safeDateText(date)) return std::nullopt;
  const std::string code = doubleQuotes(positionCode);
  return text("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm ) values (" + std::to_string(personId) + ",'" +
              std::string(date) + "','" + code + "','" + code + "')");
}

std::optional<Statement> JetDialect::insertAssessment(int64_t personId, int64_t year,
                                                      std::string_view resultCode) const {
  // The result code stands unquoted, so anything but a plain number is refused.
  if (!isPlainNumber(resultCode)) return std::nullopt;
  return text("insert into rykh (mid,khnd,khjg ) values (" + std::to_string(personId) + "," + std::to_string(year) +
              "," + std::string(resultCode) + ")");
}

std::optional<bool> JetDialect::sameDate(std::string_view a, std::string_view b) const {
  // Year-month-day texts of digits are read the same way by every
  // database; any other text Access reads by rules of its own.
  const auto left = parseDateText(a);
  const auto right = parseDateText(b);
  if (!left || !right) return std::nullopt;
  return *left == *right;
}

std::optional<Statement> JetDialect::insertEducationWithYears(int64_t personId, bool fullTime, std::string_view date,
                                                              std::string_view educationCode,
                                                              int64_t wholeYears) const {
  if (!safeDateText(date)) return std::nullopt;
  return text("insert into ryxl (mid,xxxs,xlrq,xldm,dzysxl) values (" + std::to_string(personId) + ",'" +
              std::string(person::studyModeText(fullTime)) + "','" + std::string(date) + "','" +
              doubleQuotes(educationCode) + "'," + std::to_string(wholeYears) + ")");
}

Statement JetDialect::selectDepartmentIdCards(std::string_view deptCode) const {
  return text("select xm,sfzh from ryjbxx where bm like '" + doubleQuotes(deptCode) +
              "%' and sfzh is not null and sfzh<>''");
}

std::vector<Statement> JetDialect::selectRowsToDelete(std::string_view deptCode) const {
  const std::string pattern = doubleQuotes(deptCode) + "%'";
  std::vector<Statement> out;
  for (const char* table : person::kPerPersonTables)
    out.push_back(text("select * from " + std::string(table) + " where mid in (select id from ryjbxx where bm like '" +
                       pattern + ") or mid=0"));
  out.push_back(text("select * from ryjbxx where bm like '" + pattern));
  return out;
}

std::optional<Statement> JetDialect::takeWriteLock() const { return std::nullopt; }

WholeRows JetDialect::wholeRows() const { return WholeRows{.inlineValues = true, .overrideIdentity = false}; }

Statement JetDialect::updatePerson(int64_t personId, const Row& columns) const {
  std::string s = "update ryjbxx set ";
  for (const auto& [name, value] : columns.columns()) {
    if (s.back() != ' ') s += ',';
    s.append(name).append("=").append(literalText(wholeNumberAsInteger(value)));
  }
  return text(s + " where id=" + std::to_string(personId));
}

Statement JetDialect::deletePersonRows(std::string_view table, int64_t personId) const {
  return text("delete from " + std::string(table) + " where mid=" + std::to_string(personId));
}

Statement JetDialect::selectDepartmentRows(std::string_view table, std::string_view deptCode) const {
  return text("select * from " + std::string(table) + " where mid in (select id from ryjbxx where " +
              departmentFilter(deptCode, true) + ")");
}

Statement JetDialect::deleteRowById(std::string_view table, int64_t rowId) const {
  return text("delete from " + std::string(table) + " where id=" + std::to_string(rowId));
}

Statement JetDialect::selectExportPeople(std::string_view deptCode, bool withBelow, int64_t afterId, int limit) const {
  return text("select top " + std::to_string(limit) + " * from ryjbxx where " + departmentFilter(deptCode, withBelow) +
              " and id>" + std::to_string(afterId) + " order by id");
}

Statement JetDialect::selectExportHistory(std::string_view table, std::string_view deptCode, bool withBelow,
                                          int64_t afterId, int64_t lastId) const {
  return text("select * from " + std::string(table) + " where mid in (select id from ryjbxx where " +
              departmentFilter(deptCode, withBelow) + " and id>" + std::to_string(afterId) +
              " and id<=" + std::to_string(lastId) + ") order by mid," + historyDateColumn(table));
}

}  // namespace gz::db
