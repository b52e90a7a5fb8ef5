// A payroll database on each backend with people in and around department
// 0102, a journal file in a folder of its own, and whole runs journalled.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "codes/code_map.h"
#include "db/payroll/schema.h"
#include "db/tests/backends.h"
#include "import/run/import_run.h"
#include "import/shared/tests/fakes.h"
#include "journal/journal_error.h"
#include "journal/journal_place.h"
#include "journal/journalled_run.h"
#include "journal/row_text.h"
#include "journal/rows.h"
#include "journal/take_back.h"
#include "journal/tests/row_text_writer.h"

namespace gz::journal::testing {

using imp::testing::G;
inline const std::string kPeople = GZ_TEST_DATA "/import/people.xls";
inline const char* const kTables[] = {"ryjbxx", "ryxl", "ryrz", "rykh", "rybdrz", "ryjl", "ryjc", "rygzbhb"};

// Every row of every table, keys included, as the journal writes rows.
using Tables = std::map<std::string, std::vector<std::string>>;

template <typename Backend>
class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    createTables();
    for (auto [k, v] : {std::pair{"1", "1"}, {"2", "2"}, {"汉族", "01"}, {"大学", "21"}, {"科员", "31"}, {"优秀", "1"}})
      codes.set(G(k), G(v));
    fillEarlierPeople();
    journalFile = QDir(dir.path()).filePath("journal.sqlite").toStdString();
    // The journal keeps runs only of database files that are there.
    std::ofstream(target()).put('\n');
  }
  // The payroll tables, as the tool creates them for a new database.
  virtual void createTables() { db::createSchema(*conn); }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  // Two people of 0102 and one of 0103, with rows in every per-person table,
  // and a row detached from its person already.
  void fillEarlierPeople() {
    exec(
        "insert into ryjbxx (bm, xm, sfzh, csny, kjgl) values ('0102', '赵一', '110101196001010011', '1960-01-01', 3)");
    exec("insert into ryjbxx (bm, xm, sfzh) values ('010201', '钱二', null)");
    exec("insert into ryjbxx (bm, xm) values ('0103', '孙三')");
    for (const char* t : {"rybdrz", "ryjl", "ryjc", "rygzbhb"})
      for (int mid : {1, 2, 3}) exec("insert into " + std::string(t) + " (mid) values (" + std::to_string(mid) + ")");
    exec("insert into ryjl (mid) values (0)");
    exec("insert into ryxl (mid, xxxs, xlrq, xldm, dzysxl) values (1, '全日制', '1980-07-01', '21', 4)");
    exec("insert into ryrz (mid, rzrq, rzzwdm, gzzwdm) values (2, '1990-01-01', '31', '31')");
    exec("insert into rykh (mid, khnd, khjg) values (1, 2006, 1.5)");
  }

  void exec(const std::string& utf8) { conn->execute({G(utf8), {}}); }

  Tables tables() {
    Tables out;
    for (const char* t : kTables)
      for (const db::Row& r : readRows(*conn, {std::string("select * from ") + t + " order by id", {}}))
        out[t].push_back(rowText(r));
    return out;
  }

  imp::ImportOutcome import(imp::ImportMode mode, const char* dept = "0102") {
    JournalledRun run(journalFile, *conn, target(), dept, mode, kPeople);
    imp::ImportRequest r;
    r.departmentCode = dept;
    r.workbookPath = kPeople;
    r.mode = mode;
    r.commitEveryRows = 1;
    r.journal = &run.journal();
    return imp::AInputExecute(*conn, codes, columns, frontend, r);
  }

  // The name the journal keys this database by: one per test.
  std::string target() const { return QDir(dir.path()).filePath("test-database").toStdString(); }

  TakenBack undo(std::optional<int64_t> number = std::nullopt) {
    JournalFile file(journalFile);
    return takeBack(file, *conn, chooseRun(file, databaseKey(target()), number));
  }

  Backend backend;
  std::unique_ptr<db::Connection> conn;
  codes::CodeMap codes;
  imp::ColumnMap columns;
  imp::testing::RecordingFrontend frontend;
  QTemporaryDir dir;
  std::string journalFile;
};

}  // namespace gz::journal::testing
