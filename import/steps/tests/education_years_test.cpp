// The whole years on the education rows, on real databases: the rows the
// education step stores must equal what inserting every line alone and then
// updating the person's rows dated like the last full-time line stores.
#include <gtest/gtest.h>

#include "codes/code_map.h"
#include "db/payroll/dialect.h"
#include "db/payroll/person_columns.h"
#include "db/payroll/schema.h"
#include "db/tests/backends.h"
#include "import/shared/column_map.h"
#include "import/shared/tests/fakes.h"
#include "import/steps/education_step.h"
#include "import/steps/history_lines.h"
#include "text/bytes.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

template <typename Backend>
class EducationYears : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    db::createSchema(*conn);
    for (auto [k, v] : {std::pair{"中专", "41"}, {"大学", "21"}}) codes.set(G(k), G(v));
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  int64_t addPerson(const char* name) {
    db::PersonRecord r;
    r.set("xm", std::string(name));
    return db::insertPerson(*conn, r);
  }

  void runStep(int64_t person, const std::string& cell, const std::string& workStart, int32_t years) {
    const std::unique_ptr<sheet::Workbook> sheetBook = fakeWorkbook({{"姓名", "学历"}, {"张三", cell}});
    const sheet::Workbook& book = *sheetBook;
    ColumnMap map;
    EXPECT_EQ(ReadColumnTitles(book, map), 0);
    const SheetColumns columns = SheetColumns::resolve(map);
    ImportEducationHistory(StepContext{book, columns, codes, *conn, frontend}, 2, person, G("张三"), workStart, years);
  }

  // Every line inserted alone, then one update on the person's rows whose
  // date equals the last full-time date, the database deciding which.
  void insertThenUpdate(int64_t person, const std::string& cell, const std::string& workStart, int32_t years) {
    const db::Dialect& d = db::dialectOf(*conn);
    std::string lastFullTime;
    for (const std::string& line : text::splitLines(G(cell))) {
      const std::optional<DatedLine> dated = line.empty() ? std::nullopt : readDatedLine(line, kEducationNameBytes);
      if (!dated) continue;
      const bool fullTime = text::compareBytes(dated->date, workStart) <= 0;
      if (fullTime) lastFullTime = dated->date;
      const std::string code = dated->name.empty() ? std::string() : codes.lookup(dated->name);
      if (code.empty()) continue;
      if (auto s = d.insertEducation(person, fullTime, dated->date, code)) conn->tryExecute(*s);
    }
    if (!lastFullTime.empty() && years != 0)
      if (auto s = d.updateEducationYears(years, person, lastFullTime)) conn->tryExecute(*s);
  }

  Lines educationRows(int64_t person) {
    Lines out;
    auto rs = conn->query({"select xxxs, xlrq, xldm, dzysxl from ryxl where mid=? order by id", {person}});
    while (rs->next())
      out.push_back(U(rs->text("xxxs")) + "|" + rs->text("xlrq") + "|" + rs->text("xldm") + "|" + rs->text("dzysxl"));
    return out;
  }

  Backend backend;
  std::unique_ptr<db::Connection> conn;
  codes::CodeMap codes;
  RecordingFrontend frontend;
};

TYPED_TEST_SUITE(EducationYears, db::testing::AllBackends, db::testing::BackendNames);

TYPED_TEST(EducationYears, StoredRowsEqualThoseOfTheUpdate) {
  struct Row {
    const char* name;
    const char* cell;
    const char* workStart;
    int32_t years;
    std::size_t rowsWithYears;  // so that no case passes by leaving the years out everywhere
  } rows[] = {
      {"the worked example", "1990.07中专\r\n1993.07大学\n2001.12研究生", "1993-08-01", 3, 1},
      {"the last full-time line, not the latest date", "1993.07大学\n1990.07中专", "1993-08-01", 4, 1},
      {"duplicated dates", "1990.07中专\n1990.07大学\n1990.07中专", "1993-08-01", 2, 3},
      {"one day written two ways", "1993.01中专\n1993.1", "1993-12-01", 5, 1},
      {"limited years and months", "1850.07中专\n1993.00大学", "1993-08-01", 1, 1},
      {"a negative figure", "1990.07中专", "1993-08-01", -2, 1},
      {"no full-time line", "2001.07大学\n2003.07中专", "1993-08-01", 3, 0},
      {"years 0", "1990.07中专", "1993-08-01", 0, 0},
      {"the last full-time line has no code", "1990.07中专\n1992.07研究生", "1993-08-01", 2, 0},
      {"the last full-time date is no date", "1990.07中专\n19x3.07大学", "2005-01-01", 3, 0},
      {"a blank in the month", "1990.07中专\n1993.1 大学", "1993-12-01", 3, 0},
      {"an empty cell", "", "1993-08-01", 3, 0},
  };
  for (const Row& r : rows) {
    const int64_t step = this->addPerson("step");
    const int64_t byUpdate = this->addPerson("by update");
    this->runStep(step, r.cell, r.workStart, r.years);
    this->insertThenUpdate(byUpdate, r.cell, r.workStart, r.years);
    const Lines stored = this->educationRows(step);
    EXPECT_EQ(stored, this->educationRows(byUpdate)) << r.name;
    std::size_t withYears = 0;
    for (const std::string& line : stored) withYears += line.back() != '|';
    EXPECT_EQ(withYears, r.rowsWithYears) << r.name;
  }
}

}  // namespace
}  // namespace gz::imp
