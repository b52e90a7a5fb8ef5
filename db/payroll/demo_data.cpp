#include "db/payroll/demo_data.h"

#include <string>
#include <vector>

#include "db/payroll/dialect.h"
#include "db/payroll/person_columns.h"
#include "text/gb18030.h"

namespace gz::db {

namespace {

constexpr int64_t kMonthsPerYear = 12;

struct DemoInstitution {
  const char* code;
  const char* name;  // UTF-8
};

// Codes grow by two characters per level.
// clang-format off: one table row per line, laid out by hand
const std::vector<DemoInstitution> kInstitutions = {
    {"01", "市财政局"},       {"0101", "办公室"},     {"0102", "预算科"},   {"010201", "预算一股"},
    {"010202", "预算二股"},   {"0103", "国库科"},     {"02", "市教育局"},   {"0201", "第一中学"},
    {"020101", "高中部"},     {"0202", "实验小学"},   {"03", "市卫生局"},   {"0301", "人民医院"},
};
// clang-format on

struct DemoEducation {
  bool fullTime;
  const char* date;  // the year-month-1 text the import builds
  const char* code;
};
struct DemoPosition {
  const char* date;
  const char* code;
};
struct DemoPerson {
  const char* dept;
  const char* name;  // UTF-8
  const char* sex;   // code: 1 male, 2 female
  const char* ethnic;
  const char* idCard;
  const char* status;  // UTF-8
  Date born, started;
  int64_t collegeMonths;  // dzysxl of the person row; 0 leaves it unset
  std::vector<DemoEducation> education;
  std::vector<DemoPosition> positions;
  std::vector<std::pair<int64_t, const char*>> assessments;
};

// clang-format off: one table row per line, laid out by hand
const std::vector<DemoPerson> kPeople = {
    {"0101", "张伟", "1", "01", "320102196503010017", "干部", {1965, 3, 1}, {1985, 8, 1}, 0,
     {{true, "1985-07-1", "31"}, {false, "1995-12-1", "21"}},
     {{"1985-08-1", "32"}, {"1992-07-1", "31"}, {"2003-10-1", "22"}},
     {{2006, "1"}, {2007, "2"}, {2008, "2"}}},
    {"0101", "李娜", "2", "01", "320102197211150028", "干部", {1972, 11, 15}, {1993, 8, 1}, 42,
     {{true, "1993-07-1", "21"}},
     {{"1993-08-1", "31"}, {"2001-01-1", "22"}},
     {{2006, "2"}, {2007, "1"}}},
    {"0102", "王强", "1", "03", "320102198004200031", "干部", {1980, 4, 20}, {2002, 7, 1}, 0,
     {{true, "2002-07-1", "21"}, {false, "2008-06-1", "11"}},
     {{"2002-07-1", "32"}, {"2005-07-1", "31"}},
     {{2006, "2"}, {2007, "2"}, {2008, "1"}}},
    {"010201", "刘洋", "2", "01", "320102198506060046", "工人", {1985, 6, 6}, {2006, 9, 1}, 0,
     {{true, "2006-07-1", "31"}},
     {{"2006-09-1", "32"}},
     {{2007, "2"}, {2008, "3"}}},
    {"010202", "陈静", "2", "01", "320102197809090025", "干部", {1978, 9, 9}, {2000, 8, 1}, 36,
     {{true, "2000-07-1", "21"}},
     {{"2000-08-1", "31"}},
     {{2006, "1"}}},
    {"0201", "赵磊", "1", "11", "320102197001010013", "教师", {1970, 1, 1}, {1990, 9, 1}, 0,
     {{true, "1990-07-1", "41"}, {false, "1998-07-1", "31"}, {false, "2004-01-1", "21"}},
     {{"1990-09-1", "32"}, {"1999-09-1", "31"}},
     {{2006, "2"}, {2007, "2"}, {2008, "2"}}},
    {"020101", "孙丽", "2", "01", "320102198203030024", "教师", {1982, 3, 3}, {2004, 9, 1}, 0,
     {{true, "2004-07-1", "21"}},
     {{"2004-09-1", "31"}},
     {{2006, "1"}, {2007, "1"}}},
    {"0301", "周杰", "1", "01", "320102197507070019", "医师", {1975, 7, 7}, {1998, 8, 1}, 60,
     {{true, "1998-07-1", "11"}},
     {{"1998-08-1", "31"}, {"2006-01-1", "21"}},
     {{2006, "2"}, {2007, "1"}, {2008, "2"}}},
};
// clang-format on

std::string gbk(const char* utf8) { return text::utf8ToGb18030(utf8); }

// The demo's own values are always accepted by the dialect.
Statement accepted(std::optional<Statement> s) {
  if (!s) throw DbError(DbFault::Misuse, "演示数据中有不能写入的值");
  return std::move(*s);
}

void insertInstitutions(Connection& c) {
  int64_t order = 0;
  for (const DemoInstitution& i : kInstitutions) {
    const std::string code = i.code;
    c.execute({"insert into dm_jg (upid,px,jgdm,jgmc,jgjb) values (?,?,?,?,?)",
               {int64_t(0), ++order, code, gbk(i.name), std::to_string(code.size() / 2)}});
  }
  // Each institution points at the one whose code is its own less two characters.
  c.execute(
      {"update dm_jg set upid=coalesce((select p.id from dm_jg p "
       "where p.jgdm=substr(dm_jg.jgdm,1,length(dm_jg.jgdm)-2)),0)",
       {}});
}

void addPerson(Connection& c, const DemoPerson& p, int64_t serial) {
  namespace col = person;
  PersonRecord r;
  r.set(col::kDepartment, std::string(p.dept));
  r.set(col::kProbationMonths, person::kNewPersonProbationMonths);
  r.set(col::kName, gbk(p.name));
  r.set(col::kHealth, std::string(person::kNewPersonHealthCode));
  r.set(col::kSerial, std::to_string(serial));
  r.set(col::kIdCard, std::string(p.idCard));
  r.set(col::kSex, std::string(p.sex));
  r.set(col::kEthnic, std::string(p.ethnic));
  r.set(col::kBirth, p.born);
  r.set(col::kWorkStart, p.started);
  r.set(col::kStatus, gbk(p.status));
  if (p.collegeMonths) r.set(col::kCollegeMonths, p.collegeMonths);
  const int64_t id = insertPerson(c, r);

  const Dialect& d = dialectOf(c);
  const char* lastFullTime = nullptr;
  for (const DemoEducation& e : p.education) {
    c.execute(accepted(d.insertEducation(id, e.fullTime, e.date, e.code)));
    if (e.fullTime) lastFullTime = e.date;
  }
  const int64_t collegeYears = p.collegeMonths / kMonthsPerYear;
  if (lastFullTime && collegeYears) c.execute(accepted(d.updateEducationYears(collegeYears, id, lastFullTime)));
  for (const DemoPosition& pos : p.positions) c.execute(accepted(d.insertPosition(id, pos.date, pos.code)));
  for (const auto& [year, result] : p.assessments) c.execute(accepted(d.insertAssessment(id, year, result)));
}

}  // namespace

void addDemoData(Connection& c) {
  Transaction t(c);
  insertInstitutions(c);
  int64_t serial = 0;
  for (const DemoPerson& p : kPeople) addPerson(c, p, ++serial);
  // Rows that belong to nobody (mid 0), left over from earlier deletions:
  // the next overwrite clears them.
  const Dialect& d = dialectOf(c);
  c.execute(accepted(d.insertPosition(0, "1999-01-1", "31")));
  c.execute(accepted(d.insertAssessment(0, 2005, "2")));
  t.commit();
}

}  // namespace gz::db
