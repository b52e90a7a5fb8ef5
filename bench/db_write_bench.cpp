// Write benchmark: an import-sized load through the SQLite connection, 60,000
// people with eleven history rows each in one transaction, into a new
// database in a temporary folder. Prints the rows stored and the time taken.
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>

#include "db/connection.h"
#include "db/open_database.h"
#include "db/payroll/dialect.h"
#include "db/payroll/person_columns.h"
#include "db/payroll/schema.h"
#include "text/gb18030.h"

namespace {

using namespace gz::db;

constexpr int kPeople = 60000;

PersonRecord samplePerson(const std::string& name, int serial) {
  PersonRecord r;
  r.set("bm", std::string("010203"));
  r.set("jxqyf", int64_t(12));
  r.set("xm", name);
  r.set("jkzk", std::string("10"));
  r.set("bh", int64_t(serial));
  r.set("sfzh", std::string("11010519491231002X"));
  r.set("xb", std::string("1"));
  r.set("mz", std::string("01"));
  r.set("csny", Date{1965, 3, 1});
  r.set("gzsj", Date{1993, 8, 1});
  r.set("grsf", std::string("1"));
  r.set("dzysxl", int64_t(42));
  return r;
}

// One person and the history rows an import writes for them; the rows stored.
int64_t writePerson(Connection& conn, const Dialect& d, const PersonRecord& r) {
  const int64_t id = insertPerson(conn, r);
  int64_t rows = 1;
  for (const char* date : {"1990-07-1", "1993-07-1", "1998-09-1"})
    rows += conn.tryExecute(*d.insertEducation(id, true, date, "21"));
  conn.tryExecute(*d.updateEducationYears(3, id, "1993-07-1"));
  for (const char* date : {"1995-07-1", "1998-07-1", "2003-10-1", "2008-01-1"})
    rows += conn.tryExecute(*d.insertPosition(id, date, "31"));
  for (int year = 2006; year < 2010; ++year) rows += conn.tryExecute(*d.insertAssessment(id, year, "1"));
  return rows;
}

}  // namespace

int main() {
  QTemporaryDir dir;
  auto conn = createSqliteDatabase(dir.filePath(QStringLiteral("bench.db")).toStdString());
  createSchema(*conn);
  const Dialect& d = dialectOf(*conn);
  const std::string name = gz::text::utf8ToGb18030("张三丰");
  const auto start = std::chrono::steady_clock::now();
  int64_t rows = 0;
  {
    Transaction t(*conn);
    for (int i = 0; i < kPeople; ++i) rows += writePerson(*conn, d, samplePerson(name, i + 1));
    t.commit();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%lld rows (plus %d updates) in %.2f s\n", static_cast<long long>(rows), kPeople, seconds);
  return rows == 12LL * kPeople ? 0 : 1;
}
