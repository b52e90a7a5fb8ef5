// Import-sized write load through the connection: 60,000 people with eleven
// history rows each in one SQLite transaction. Run on demand:
//   gz_db_tests --gtest_also_run_disabled_tests --gtest_filter='*Throughput*'
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "db/connection.h"
#include "db/schema.h"
#include "db/tests/backends.h"
#include "text/gb18030.h"

namespace gz::db {
namespace {

TEST(DISABLED_Throughput, SixtyThousandPeopleWithHistoryInOneTransaction) {
  testing::SqliteBackend backend;
  std::string skip;
  auto conn = backend.open(&skip);
  createSchema(*conn);
  const Dialect& d = conn->dialect();
  const std::string name = text::utf8ToGb18030("张三丰");
  const auto start = std::chrono::steady_clock::now();
  int64_t rows = 0;
  {
    Transaction t(*conn);
    for (int i = 0; i < 60000; ++i) {
      PersonRecord r;
      r.set("bm", std::string("010203"));
      r.set("jxqyf", int64_t(12));
      r.set("xm", name);
      r.set("jkzk", std::string("10"));
      r.set("bh", int64_t(i + 1));
      r.set("sfzh", std::string("11010519491231002X"));
      r.set("xb", std::string("1"));
      r.set("mz", std::string("01"));
      r.set("csny", Date{1965, 3, 1});
      r.set("gzsj", Date{1993, 8, 1});
      r.set("grsf", std::string("1"));
      r.set("dzysxl", int64_t(42));
      const int64_t id = conn->insertPerson(r);
      ++rows;
      for (const char* date : {"1990-07-1", "1993-07-1", "1998-09-1"})
        rows += conn->tryExecute(*d.insertEducation(id, true, date, "21"));
      conn->tryExecute(*d.updateEducationYears(3, id, "1993-07-1"));
      for (const char* date : {"1995-07-1", "1998-07-1", "2003-10-1", "2008-01-1"})
        rows += conn->tryExecute(*d.insertPosition(id, date, "31"));
      for (int year = 2006; year < 2010; ++year) rows += conn->tryExecute(*d.insertAssessment(id, year, "1"));
    }
    t.commit();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%lld rows (plus 60000 updates) in %.2f s\n", static_cast<long long>(rows), seconds);
  EXPECT_EQ(rows, 720000);
}

}  // namespace
}  // namespace gz::db
