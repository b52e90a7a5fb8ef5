// Import benchmark: the whole import run of WORKBOOK into a fresh SQLite
// database with the tables and an index on every mid (or, with --no-index,
// without any index, as a database made elsewhere may be), printing the wall
// time and the rows per second.
//   import_bench WORKBOOK DB DMTXT [--no-index]
// bench/run_benchmarks.sh runs it beside the Python peer, each in its own
// process so that each peak memory figure is its own.

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "codes/code_map.h"
#include "codes/dm_file.h"
#include "db/connection.h"
#include "db/open_database.h"
#include "db/payroll/schema.h"
#include "import/run/import_run.h"
#include "import/shared/column_map.h"
#include "import/shared/frontend.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

class QuietFrontend : public gz::imp::Frontend {
 public:
  void workbookNotice(std::string_view) override {}
  void deletingDepartment() override {}
  void titleUnreadable(int32_t) override {}
  void layoutAccepted() override {}
  bool titlesFound(const gz::imp::FoundHeader&) override { return false; }
  void dataEndedAt(int32_t, std::string_view) override {}
  bool otherSheetHasTitles(const gz::imp::OtherSheet&) override { return false; }
  void hiddenRowsRead(const std::vector<int32_t>&) override {}
  void datesReadAsTyped(const gz::imp::TypedDateCounter&) override {}
  void rowStarted(int32_t, std::string_view) override {}
  void lineWithoutCode(gz::imp::HistoryKind, std::string_view, std::string_view) override { ++errorLines; }
  void rowDone(const gz::imp::RowOutcome& row) override { errorLines += row.stored ? 0 : 1; }
  void progress(int, int) override {}
  void runEnded(const gz::imp::ImportOutcome&) override {}
  void processEvents() override {}
  void clearAbort() override {}
  bool abortRequested() override { return false; }
  gz::imp::DuplicateAnswer duplicatesFound(const std::vector<gz::imp::DuplicateRow>&) override {
    return gz::imp::DuplicateAnswer::ImportAll;
  }
  void waiting(gz::imp::WaitCause) override {}
  int errorLines = 0;
};

// A fresh database with the tables and one department; without indexes
// when `indexes` is false.
void makeDatabase(const std::string& path, bool indexes) {
  auto c = gz::db::createSqliteDatabase(path);
  gz::db::createSchema(*c);
  c->execute({"insert into dm_jg (id,upid,px,jgdm,jgmc,jgjb) values (1,0,1,'01','bench','1')", {}});
  if (indexes) return;
  std::vector<std::string> names;
  auto rs = c->query({"select name from sqlite_master where type='index' and sql is not null", {}});
  while (rs->next()) names.push_back(rs->text("name"));
  for (const std::string& n : names) c->execute({"drop index " + n, {}});
}

int runImport(const std::string& workbook, const std::string& dbPath, const std::string& dm, bool indexes) {
  makeDatabase(dbPath, indexes);
  auto conn = gz::db::openDatabase(dbPath);
  gz::codes::CodeMap codes;
  gz::codes::loadDmFile(codes, dm);
  gz::imp::ColumnMap columns;
  QuietFrontend frontend;
  gz::imp::ImportRequest request;
  request.departmentCode = "01";
  request.workbookPath = workbook;
  const auto start = Clock::now();
  const auto out = gz::imp::AInputExecute(*conn, codes, columns, frontend, request);
  const double s = secondsSince(start);
  const long rows = out.personsStored + out.historyRowsStored;
  std::printf("import: %.2f s, %d persons + %d history rows = %ld rows, %.0f rows/s, %d rows failed, %d error lines\n",
              s, out.personsStored, out.historyRowsStored, rows, rows / s, out.rowsFailed, frontend.errorLines);
  return out.succeeded() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  try {
    const bool noIndex = argc == 5 && std::string(argv[4]) == "--no-index";
    if (argc == 4 || noIndex) return runImport(argv[1], argv[2], argv[3], !noIndex);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "import_bench: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: import_bench WORKBOOK DB DMTXT [--no-index]\n");
  return 2;
}
