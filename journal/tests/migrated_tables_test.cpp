// The payroll tables in the form `gzimport migrate` gives them when it copies
// an Access payroll database: Access's types (dates as date-times, whole
// numbers of their width, an auto-number key), no defaults, no indexes.
// Imports and taking them back work on them as on the tables the tool creates.
#include <gtest/gtest.h>

#include "journal/tests/journal_fixture.h"
#include "migrate/access_file.h"
#include "migrate/target_schema.h"

namespace gz::journal::testing {
namespace {

using migrate::AccessColumn;
using migrate::AccessTable;
using migrate::AccessType;

AccessTable payrollTable(const char* name, std::vector<AccessColumn> columns) {
  columns.insert(columns.begin(), AccessColumn{"id", AccessType::LongInteger, 4, 0, 0, true});
  return AccessTable{name, std::move(columns), {0}, 0};
}

AccessColumn text(const char* name) { return {name, AccessType::Text}; }
AccessColumn date(const char* name) { return {name, AccessType::DateTime}; }
AccessColumn whole(const char* name) { return {name, AccessType::LongInteger}; }
AccessColumn shortWhole(const char* name) { return {name, AccessType::Integer}; }

std::vector<AccessTable> accessPayrollTables() {
  return {
      payrollTable("dm_jg", {whole("upid"), whole("px"), text("jgdm"), text("jgmc"), text("jgjb")}),
      payrollTable("ryjbxx", {text("bm"), text("xm"), text("bh"), text("sfzh"), text("grsf"), text("xb"), text("mz"),
                              date("csny"), date("gzsj"), text("jkzk"), whole("jxqyf"), whole("kjgl"), whole("kjtgnf"),
                              whole("dzysxl")}),
      payrollTable("ryxl", {whole("mid"), text("xxxs"), date("xlrq"), text("xldm"), shortWhole("dzysxl")}),
      payrollTable("ryrz", {whole("mid"), date("rzrq"), text("rzzwdm"), text("gzzwdm")}),
      payrollTable("rykh", {whole("mid"), shortWhole("khnd"), {"khjg", AccessType::Double}}),
      payrollTable("rybdrz", {whole("mid")}),
      payrollTable("ryjl", {whole("mid")}),
      payrollTable("ryjc", {whole("mid")}),
      payrollTable("rygzbhb", {whole("mid")}),
  };
}

template <typename Backend>
class MigratedTables : public JournalTest<Backend> {
 protected:
  void createTables() override {
    for (const AccessTable& t : accessPayrollTables())
      this->conn->execute({migrate::createTableText(t, this->conn->dialectKind()), {}});
  }
};

using Targets = ::testing::Types<db::testing::SqliteBackend, db::testing::PostgresBackend>;
TYPED_TEST_SUITE(MigratedTables, Targets, db::testing::BackendNames);

TYPED_TEST(MigratedTables, ImportsAndTakesBackAsOnTheToolsOwnTables) {
  db::requireSchema(*this->conn);
  struct Row {
    const char* name;
    imp::ImportMode mode;
  };
  const Row rows[] = {{"append", imp::ImportMode::Append}, {"overwrite", imp::ImportMode::Overwrite}};
  for (const Row& row : rows) {
    const Tables before = this->tables();
    const imp::ImportOutcome o = this->import(row.mode);
    ASSERT_EQ(o.personsStored, 2) << row.name;
    ASSERT_NE(this->tables(), before) << row.name;
    const TakenBack done = this->undo();
    EXPECT_FALSE(done.foundDone) << row.name;
    EXPECT_EQ(this->tables(), before) << row.name;
  }
}

}  // namespace
}  // namespace gz::journal::testing
