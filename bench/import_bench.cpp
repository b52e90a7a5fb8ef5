// Import benchmark: prints wall time and rows per second for
//   import WORKBOOK DB DMTXT   the whole import run into a fresh SQLite database
//   bare   WORKBOOK DB         the same reader and the same inserts as a bare loop:
//                              prepared statements, one transaction, no rules
// Peak memory and the Python peer are measured by bench/run_import_bench.sh,
// which runs each mode in its own process.

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <chrono>
#include <cstdio>
#include <string>

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
#include "text/gbk.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

class QuietFrontend : public gz::imp::Frontend {
 public:
  void importLine(const std::string&) override {}
  void errorLine(const std::string&) override { ++errorLines; }
  void statusText(int, const std::string&) override {}
  void messageBox(const std::string&, const std::string&) override {}
  void plainMessage(const std::string&) override {}
  void processEvents() override {}
  void clearAbort() override {}
  bool abortRequested() override { return false; }
  void progress(int, int) override {}
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

QVariant qtext(const std::string& gbk) { return gz::text::gbkToQString(gbk); }

int runBare(const std::string& workbook, const std::string& dbPath) {
  makeDatabase(dbPath);
  const auto start = Clock::now();
  auto book = gz::sheet::openWorkbook(workbook);
  QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bare");
  db.setDatabaseName(QString::fromStdString(dbPath));
  if (!db.open()) {
    std::fprintf(stderr, "bare: %s\n", db.lastError().text().toStdString().c_str());
    return 1;
  }
  long rows = 0;
  {
    QSqlQuery person(db), edu(db), pos(db), kh(db);
    person.prepare("insert into ryjbxx (bm,jxqyf,xm,jkzk,bh,xb,mz,csny,gzsj,grsf,sfzh,kjgl,dzysxl) "
                   "values (?,?,?,?,?,?,?,?,?,?,?,?,?)");
    edu.prepare("insert into ryxl (mid,xxxs,xlrq,xldm) values (?,?,?,?)");
    pos.prepare("insert into ryrz (mid,rzrq,rzzwdm,gzzwdm) values (?,?,?,?)");
    kh.prepare("insert into rykh (mid,khnd,khjg) values (?,?,?)");
    db.transaction();
    for (uint32_t r = 2;; ++r) {
      const std::string name = gz::sheet::cellText(book->value(r, 2));
      if (name.empty()) break;
      const QVariant values[] = {
          qtext("01"), 12, qtext(name), qtext("10"), book->value(r, 1).number,
          qtext(gz::sheet::cellText(book->value(r, 3))), qtext(gz::sheet::cellText(book->value(r, 4))),
          qtext(gz::sheet::isoDateText(*gz::sheet::cellDate(book->value(r, 5)))),
          qtext(gz::sheet::isoDateText(*gz::sheet::cellDate(book->value(r, 6)))),
          qtext(gz::sheet::cellText(book->value(r, 7))), qtext(gz::sheet::cellText(book->value(r, 8))),
          book->value(r, 9).number, book->value(r, 10).number};
      for (int i = 0; i < 13; ++i) person.bindValue(i, values[i]);
      person.exec();
      const qlonglong id = person.lastInsertId().toLongLong();
      ++rows;
      for (const std::string& line : gz::text::splitLines(gz::sheet::cellText(book->value(r, 11)))) {
        edu.bindValue(0, id);
        edu.bindValue(1, qtext(line.substr(0, 4)));
        edu.bindValue(2, qtext(line.substr(0, 7)));
        edu.bindValue(3, qtext(gz::text::substr1(line, 8, 20)));
        edu.exec();
        ++rows;
      }
      for (const std::string& line : gz::text::splitLines(gz::sheet::cellText(book->value(r, 12)))) {
        const QVariant code = qtext(gz::text::trim(gz::text::substr1(line, 8, 40)));
        pos.bindValue(0, id);
        pos.bindValue(1, qtext(line.substr(0, 7)));
        pos.bindValue(2, code);
        pos.bindValue(3, code);
        pos.exec();
        ++rows;
      }
      for (const std::string& line : gz::text::splitLines(gz::sheet::cellText(book->value(r, 13)))) {
        kh.bindValue(0, id);
        kh.bindValue(1, gz::text::wholeNumberOr0(line.substr(0, 4)));
        kh.bindValue(2, 1);
        kh.exec();
        ++rows;
      }
    }
    db.commit();
  }
  db.close();
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
