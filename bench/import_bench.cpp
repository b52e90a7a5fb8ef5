// Import benchmark: prints wall time and rows per second for
//   import WORKBOOK DB DMTXT   the whole import run into a fresh SQLite database
//   bare   WORKBOOK DB         the same reader and the same inserts as a bare loop:
//                              SQLite's prepared statements, one transaction, no rules
// Peak memory and the Python peer are measured by bench/run_import_bench.sh,
// which runs each mode in its own process.

#include <sqlite3.h>
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "codes/code_map.h"
#include "codes/dm_file.h"
#include "db/connection.h"
#include "db/open_database.h"
#include "db/schema.h"
#include "import/column_map.h"
#include "import/frontend.h"
#include "import/import_run.h"
#include "sheet/workbook.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

class QuietFrontend : public gz::imp::Frontend {
 public:
  void workbookNotice(std::string_view) override {}
  void deletingDepartment() override {}
  void titleUnreadable(int32_t) override {}
  void layoutAccepted() override {}
  void datesReadAsTyped(const gz::imp::TypedDateCounter&) override {}
  void rowStarted(int32_t, std::string_view) override {}
  void lineWithoutCode(gz::imp::HistoryKind, std::string_view, std::string_view) override { ++errorLines; }
  void rowDone(const gz::imp::RowOutcome& row) override { errorLines += row.stored ? 0 : 1; }
  void progress(int, int) override {}
  void runEnded(const gz::imp::ImportOutcome&) override {}
  void processEvents() override {}
  void clearAbort() override {}
  bool abortRequested() override { return false; }
  void waiting(gz::imp::WaitCause) override {}
  int errorLines = 0;
};

// A fresh database with the tables and one department.
void makeDatabase(const std::string& path) {
  auto c = gz::db::createSqliteDatabase(path);
  gz::db::createSchema(*c);
  c->execute({"insert into dm_jg (id,upid,px,jgdm,jgmc,jgjb) values (1,0,1,'01','bench','1')", {}});
}

int runImport(const std::string& workbook, const std::string& dbPath, const std::string& dm) {
  makeDatabase(dbPath);
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

// The floor: the same reader, the same rows, SQLite's own prepared
// statements in one transaction, and none of the import's rules.
class BareDatabase {
 public:
  explicit BareDatabase(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
      throw std::runtime_error("bare: cannot open " + path);
    sqlite3_exec(db_, "pragma cache_size=-65536", nullptr, nullptr, nullptr);
  }
  ~BareDatabase() {
    for (sqlite3_stmt* s : statements_) sqlite3_finalize(s);
    sqlite3_close(db_);
  }
  sqlite3_stmt* prepare(const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db_));
    statements_.push_back(s);
    return s;
  }
  void exec(const char* sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
  sqlite3_int64 lastId() const { return sqlite3_last_insert_rowid(db_); }

 private:
  sqlite3* db_ = nullptr;
  std::vector<sqlite3_stmt*> statements_;
};

void bindText(sqlite3_stmt* s, int i, const std::string& gbk) {
  const std::string utf8 = gz::text::gb18030ToUtf8(gbk);
  sqlite3_bind_text(s, i, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void step(sqlite3_stmt* s) {
  sqlite3_step(s);
  sqlite3_reset(s);
}

int runBare(const std::string& workbook, const std::string& dbPath) {
  makeDatabase(dbPath);
  const auto start = Clock::now();
  auto book = gz::sheet::openWorkbook(workbook);
  using gz::sheet::cellText;
  long rows = 0;
  {
    BareDatabase db(dbPath);
    sqlite3_stmt* person = db.prepare(
        "insert into ryjbxx (bm,jxqyf,xm,jkzk,bh,xb,mz,csny,gzsj,grsf,sfzh,kjgl,dzysxl) "
        "values (?,?,?,?,?,?,?,?,?,?,?,?,?)");
    sqlite3_stmt* edu = db.prepare("insert into ryxl (mid,xxxs,xlrq,xldm) values (?,?,?,?)");
    sqlite3_stmt* pos = db.prepare("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values (?,?,?,?)");
    sqlite3_stmt* kh = db.prepare("insert into rykh (mid,khnd,khjg) values (?,?,?)");
    db.exec("begin");
    for (uint32_t r = 2;; ++r) {
      const std::string name = cellText(book->value(r, 2));
      if (name.empty()) break;
      bindText(person, 1, "01");
      sqlite3_bind_int(person, 2, 12);
      bindText(person, 3, name);
      bindText(person, 4, "10");
      sqlite3_bind_double(person, 5, book->value(r, 1).number);
      bindText(person, 6, cellText(book->value(r, 3)));
      bindText(person, 7, cellText(book->value(r, 4)));
      bindText(person, 8, gz::sheet::isoDateText(*gz::sheet::cellDate(book->value(r, 5))));
      bindText(person, 9, gz::sheet::isoDateText(*gz::sheet::cellDate(book->value(r, 6))));
      bindText(person, 10, cellText(book->value(r, 7)));
      bindText(person, 11, cellText(book->value(r, 8)));
      sqlite3_bind_double(person, 12, book->value(r, 9).number);
      sqlite3_bind_double(person, 13, book->value(r, 10).number);
      step(person);
      const sqlite3_int64 id = db.lastId();
      ++rows;
      for (const std::string& line : gz::text::splitLines(cellText(book->value(r, 11)))) {
        sqlite3_bind_int64(edu, 1, id);
        bindText(edu, 2, line.substr(0, 4));
        bindText(edu, 3, line.substr(0, 7));
        bindText(edu, 4, gz::text::substr1(line, 8, 20));
        step(edu);
        ++rows;
      }
      for (const std::string& line : gz::text::splitLines(cellText(book->value(r, 12)))) {
        const std::string code = gz::text::trim(gz::text::substr1(line, 8, 40));
        sqlite3_bind_int64(pos, 1, id);
        bindText(pos, 2, line.substr(0, 7));
        bindText(pos, 3, code);
        bindText(pos, 4, code);
        step(pos);
        ++rows;
      }
      for (const std::string& line : gz::text::splitLines(cellText(book->value(r, 13)))) {
        sqlite3_bind_int64(kh, 1, id);
        sqlite3_bind_int(kh, 2, gz::text::wholeNumberOr0(line.substr(0, 4)));
        sqlite3_bind_int(kh, 3, 1);
        step(kh);
        ++rows;
      }
    }
    db.exec("commit");
  }
  const double s = secondsSince(start);
  std::printf("bare loop: %.2f s, %ld rows, %.0f rows/s\n", s, rows, rows / s);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  try {
    if (mode == "import" && argc == 5) return runImport(argv[2], argv[3], argv[4]);
    if (mode == "bare" && argc == 4) return runBare(argv[2], argv[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "import_bench: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: import_bench import WORKBOOK DB DMTXT | bare WORKBOOK DB\n");
  return 2;
}
