// The rows' results a run fills, against what the same import then stores
// in a real database, and the check report written from them: its rows agree
// with the run row by row, and it imports again as the workbook did.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "codes/code_map.h"
#include "db/payroll/schema.h"
#include "db/tests/backends.h"
#include "import/reports/check_report.h"
#include "import/reports/row_results.h"
#include "import/run/import_run.h"
#include "import/shared/tests/fakes.h"
#include "import/writers/dry_run_connection.h"
#include "sheet/model/cell_forms.h"
#include "sheet/open_workbook.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

const std::string kPeople = GZ_TEST_DATA "/import/people.xls";
const std::string kIdentity = GZ_TEST_DATA "/import/identity.xls";

template <typename Backend>
class RowResultsImport : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    db::createSchema(*conn);
    for (auto [k, v] : {std::pair{"1", "1"},
                        {"2", "2"},
                        {"男", "1"},
                        {"汉族", "01"},
                        {"中专", "41"},
                        {"大学", "21"},
                        {"科员", "31"},
                        {"科长", "32"},
                        {"优秀", "1"},
                        {"合格", "2"}})
      codes.set(G(k), G(v));
    frontend.duplicateAnswer = DuplicateAnswer::SkipExisting;
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  ImportOutcome import(const std::string& path, RowResults* results, bool check = false, const char* dept = "0102") {
    ImportRequest r;
    r.departmentCode = dept;
    r.workbookPath = path;
    r.results = results;
    if (!check) return AInputExecute(*conn, codes, columns, frontend, r);
    DryRunConnection dry(*conn);
    return AInputExecute(dry, codes, columns, frontend, r);
  }

  // The columns of the department's people, ordered by sheet order of import (UTF-8, "|" joined).
  Lines people(const char* dept, const char* columnsSql) {
    Lines out;
    auto rs =
        conn->query({std::string("select ") + columnsSql + " from ryjbxx where bm = '" + dept + "' order by id", {}});
    const std::vector<std::string> names = rs->columnNames();
    while (rs->next()) {
      std::string line;
      for (const std::string& c : names) line += (line.empty() ? "" : "|") + U(rs->text(c.c_str()));
      out.push_back(line);
    }
    return out;
  }
  std::string count(const std::string& sql) {
    auto rs = conn->query({sql, {}});
    return rs->next() ? U(rs->text("n")) : "";
  }

  Backend backend;
  std::unique_ptr<db::Connection> conn;
  codes::CodeMap codes;
  ColumnMap columns;
  RecordingFrontend frontend;
};

TYPED_TEST_SUITE(RowResultsImport, db::testing::AllBackends, db::testing::BackendNames);

std::string value(const RowResults& r, std::size_t i, ResultField f) { return U(r.value(i, f)); }

// The check's rows are what the import then stores: the same people with the
// same values, the same number of history rows, and the other rows named
// with the reason the import gives them.
TYPED_TEST(RowResultsImport, CheckRowsAreWhatTheImportStores) {
  for (const std::string& path : {kPeople, kIdentity}) {
    SCOPED_TRACE(path);
    for (const char* t : {"ryjbxx", "ryxl", "ryrz", "rykh"}) this->conn->execute({std::string("delete from ") + t, {}});
    RowResults preview;
    const ImportOutcome checked = this->import(path, &preview, true);
    ASSERT_EQ(this->count("select count(*) as n from ryjbxx"), "0");
    const ImportOutcome o = this->import(path, nullptr);
    EXPECT_EQ(preview.count(RowFate::Import), o.personsStored);
    EXPECT_EQ(preview.count(RowFate::NotImported), o.rowsFailed);
    EXPECT_EQ(preview.count(RowFate::Skip), o.rowsSkipped);
    EXPECT_EQ(checked.warnings, o.warnings);

    Lines shown, stored = this->people("0102", "xm, sfzh, csny, gzsj, xb, mz, grsf");
    for (std::size_t i = 0; i < preview.size(); ++i) {
      if (preview.fate(i) != RowFate::Import) continue;
      // A code is shown with its text: "1 男".
      const std::string sex = value(preview, i, ResultField::Sex), ethnic = value(preview, i, ResultField::Ethnic);
      shown.push_back(value(preview, i, ResultField::Name) + "|" + value(preview, i, ResultField::IdCard) + "|" +
                      value(preview, i, ResultField::Birth) + "|" + value(preview, i, ResultField::WorkStart) + "|" +
                      sex.substr(0, sex.find(' ')) + "|" + ethnic.substr(0, ethnic.find(' ')) + "|" +
                      value(preview, i, ResultField::Status));
    }
    EXPECT_EQ(shown, stored);

    std::set<int32_t> rejected;
    for (const RejectedRow& r : o.rejects.rows) rejected.insert(r.row);
    for (std::size_t i = 0; i < preview.size(); ++i) {
      SCOPED_TRACE(preview.sheetRow(i));
      EXPECT_EQ(preview.fate(i) == RowFate::NotImported, rejected.count(preview.sheetRow(i)) == 1);
      EXPECT_EQ(preview.needsAttention(i), preview.fate(i) == RowFate::NotImported || preview.warned(i));
    }
  }
}

// What each row shows, for the rows of people.xls: the history in short,
// codes with their text, reasons and warnings with the cells they are about.
TYPED_TEST(RowResultsImport, EachRowShowsItsValuesHistoryAndProblems) {
  RowResults r;
  this->import(kPeople, &r, true);
  ASSERT_EQ(r.size(), 3u);
  struct Row {
    const char* name;
    int32_t sheetRow;
    RowFate fate;
    const char* sex;
    const char* education;
    const char* assessment;
    const char* problems;
    ResultField markedField;
  };
  const Row rows[] = {
      {"张三", 2, RowFate::Import, "1 男", "学历2条: 1980-07 中专 全日制, 1985-07 大学 全日制",
       "考核2条: 2006 优秀, 2007 合格", "学历:张三:研究生\n考核:张三:基本合格", ResultField::Education},
      {"李四", 3, RowFate::NotImported, "2", "", "", "出生年月\"19x3\"不是日期", ResultField::Birth},
      {"王五", 4, RowFate::Import, "2", "学历1条: 1992-07 大学 全日制", "考核1条: 2006 合格", "", ResultField::Name},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& e = rows[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(value(r, i, ResultField::Name), e.name);
    EXPECT_EQ(r.sheetRow(i), e.sheetRow);
    EXPECT_EQ(r.fate(i), e.fate);
    EXPECT_EQ(value(r, i, ResultField::Sex), e.sex);
    EXPECT_EQ(value(r, i, ResultField::Education), e.education);
    EXPECT_EQ(value(r, i, ResultField::Assessment), e.assessment);
    EXPECT_EQ(U(r.problems(i)), e.problems);
    EXPECT_EQ(r.fieldHasProblem(i, e.markedField), *e.problems != '\0');
  }
  // A row not imported shows its cells as read.
  EXPECT_EQ(value(r, 1, ResultField::Birth), "19x3");
  // The cells each value came from, by column letter and sheet row.
  EXPECT_EQ(U(r.sources(1)).rfind("姓名 B3、", 0), 0u) << U(r.sources(1));
}

// The report has the title row and every row as read, with 结果 and 问题
// agreeing with the run; the rows put into another department from it are
// the rows the workbook itself gave.
TYPED_TEST(RowResultsImport, ReportAgreesWithTheRunAndImportsAgain) {
  for (const std::string& path : {kPeople, kIdentity}) {
    SCOPED_TRACE(path);
    for (const char* t : {"ryjbxx", "ryxl", "ryrz", "rykh"}) this->conn->execute({std::string("delete from ") + t, {}});
    RowResults results;
    const ImportOutcome o = this->import(path, &results);
    const std::string report = (std::filesystem::temp_directory_path() / "gz_check_report.xlsx").string();
    writeCheckReport(report, results);
    const std::unique_ptr<sheet::Workbook> book = sheet::openWorkbook(report);

    const auto width = static_cast<uint32_t>(results.layout().titles.size());
    EXPECT_EQ(U(sheet::cellText(book->value(1, width + 1))), "结果");
    EXPECT_EQ(U(sheet::cellText(book->value(1, width + 2))), "问题");
    std::set<int32_t> rejected;
    for (const RejectedRow& r : o.rejects.rows) rejected.insert(r.row);
    for (std::size_t i = 0; i < results.size(); ++i) {
      const auto row = static_cast<uint32_t>(i + 2);
      SCOPED_TRACE(row);
      const std::string fate = U(sheet::cellText(book->value(row, width + 1)));
      EXPECT_EQ(fate == "不导入", rejected.count(results.sheetRow(i)) == 1);
      EXPECT_EQ(fate, U(fateText(results.fate(i))));
      EXPECT_EQ(sheet::cellText(book->value(row, width + 2)), results.problems(i));
    }
    EXPECT_EQ(sheet::cellText(book->value(static_cast<uint32_t>(results.size() + 2), 2)), "");

    // Imported again (the two columns are read by no step), every row goes
    // where the workbook's row went.
    this->frontend.duplicateAnswer = DuplicateAnswer::ImportAll;
    const ImportOutcome again = this->import(report, nullptr, false, "02");
    this->frontend.duplicateAnswer = DuplicateAnswer::SkipExisting;
    std::filesystem::remove(report);
    EXPECT_EQ(again.rowsFailed, o.rowsFailed);
    const char* compared = "xm, sfzh, csny, gzsj, xb, mz, grsf, bh, kjgl, dzysxl";
    if (o.rowsSkipped == 0) {
      EXPECT_EQ(this->people("02", compared), this->people("0102", compared));
    } else {
      // The row left out as a repeat goes in this time.
      EXPECT_EQ(this->people("02", compared).size(), this->people("0102", compared).size() + o.rowsSkipped);
    }
  }
}

// An update run's rows are 更新 where the number names a person of the
// department, 导入 where it names nobody.
TYPED_TEST(RowResultsImport, UpdatedPeopleAreShownAsUpdated) {
  ASSERT_EQ(this->import(kPeople, nullptr).personsStored, 2);
  this->conn->execute({G("update ryjbxx set sfzh = '' where xm = '王五'"), {}});
  ImportRequest r;
  r.departmentCode = "0102";
  r.workbookPath = kPeople;
  r.updateExisting = true;
  RowResults results;
  r.results = &results;
  const ImportOutcome o = AInputExecute(*this->conn, this->codes, this->columns, this->frontend, r);
  EXPECT_EQ(o.personsUpdated, 1);
  std::vector<RowFate> fates;
  for (std::size_t i = 0; i < results.size(); ++i) fates.push_back(results.fate(i));
  EXPECT_EQ(fates, (std::vector<RowFate>{RowFate::Update, RowFate::NotImported, RowFate::Import}));
}

TEST(RowResults, ColumnLetters) {
  const std::pair<int32_t, const char*> cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {703, "AAA"}};
  for (const auto& [column, letters] : cases) EXPECT_EQ(columnLetters(column), letters) << column;
}

}  // namespace
}  // namespace gz::imp
