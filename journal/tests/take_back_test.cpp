// Runs journalled on real databases and taken back: every table as it was,
// keys included; refusals that change nothing; runs and undos cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

#include "db/payroll/dialect.h"
#include "db/payroll/person_columns.h"
#include "journal/row_digest.h"
#include "journal/run_recorder.h"
#include "journal/tests/journal_fixture.h"

namespace gz::journal::testing {
namespace {

template <typename Backend>
using TakeBack = JournalTest<Backend>;
TYPED_TEST_SUITE(TakeBack, db::testing::AllBackends, db::testing::BackendNames);

TYPED_TEST(TakeBack, EachWayTakenBackLeavesEveryTableAsBefore) {
  struct Row {
    const char* name;
    imp::ImportMode mode;
    int added, deleted;
  };
  const Row rows[] = {
      {"append", imp::ImportMode::Append, 2, 0},
      {"overwrite", imp::ImportMode::Overwrite, 2, 2},
  };
  for (const Row& row : rows) {
    const Tables before = this->tables();
    const imp::ImportOutcome o = this->import(row.mode);
    ASSERT_EQ(o.personsStored, 2) << row.name;
    ASSERT_NE(this->tables(), before) << row.name;
    JournalFile file(this->journalFile);
    const RunInfo run = file.runs(databaseKey(this->target())).front();
    EXPECT_EQ(run.added, row.added) << row.name;
    EXPECT_EQ(run.deleted, row.deleted) << row.name;
    EXPECT_EQ(run.way, wayName(row.mode)) << row.name;

    const TakenBack done = this->undo();
    EXPECT_FALSE(done.foundDone) << row.name;
    EXPECT_EQ(this->tables(), before) << row.name;
    EXPECT_EQ(file.runs(databaseKey(this->target())).front().state, RunState::TakenBack) << row.name;
  }
}

TYPED_TEST(TakeBack, ChangeAfterTheRunRefusesAndChangesNothing) {
  struct Row {
    const char* name;
    imp::ImportMode mode;
    const char* change;  // another program's, after the run
    const char* named;   // in the refusal
  };
  const Row rows[] = {
      // Kept as a digest: which column changed is not known.
      {"added person renamed", imp::ImportMode::Append, "update ryjbxx set xm='别人' where xm='王五'", "ryjbxx 中 id="},
      {"added history row set", imp::ImportMode::Append, "update rykh set khjg=9 where mid > 3", "rykh 中 id="},
      {"added history row gone", imp::ImportMode::Append, "delete from ryxl where mid > 3", "ryxl"},
      {"deleted person's key taken", imp::ImportMode::Overwrite,
       "insert into ryjbxx (id, bm, xm) values (2, '0105', '周八')", "id=2"},
  };
  for (const Row& row : rows) {
    this->import(row.mode);
    this->exec(row.change);
    const Tables changed = this->tables();
    try {
      this->undo();
      ADD_FAILURE() << row.name << ": taken back over a later change";
    } catch (const JournalError& e) {
      EXPECT_EQ(e.fault(), JournalFault::ChangedSince) << row.name;
      EXPECT_NE(std::string(e.what()).find(row.named), std::string::npos) << row.name << ": " << e.what();
    }
    EXPECT_EQ(this->tables(), changed) << row.name;
    this->exec("delete from ryjbxx where id > 3");
    for (const char* t : db::person::kPerPersonTables) this->exec("delete from " + std::string(t) + " where mid > 3");
  }
}

// A run whose process ended after one batch was committed and a second one
// written down but never committed.
TYPED_TEST(TakeBack, RunCutShortIsTakenBackForWhatItCommitted) {
  const Tables before = this->tables();
  JournalFile file(this->journalFile);
  RunInfo info;
  info.database = databaseKey(this->target());
  info.department = "0102";
  info.way = "append";
  RunRecorder recorder(file, *this->conn, file.beginRun(info));
  db::Connection& c = *this->conn;
  auto addPerson = [&](const char* name) {
    db::Row person;
    person.set("bm", std::string("0102"));
    person.set("xm", G(name));
    const int64_t id = c.insertReturningKey("ryjbxx", person, "id");
    c.execute({"insert into ryjl (mid) values (" + std::to_string(id) + ")", {}});
    recorder.personAdded(id);
  };
  {
    db::Transaction first(c);
    addPerson("甲");
    recorder.beforeCommit();
    first.commit();
    recorder.committed();
  }
  const Tables committed = this->tables();
  {
    db::Transaction second(c);
    addPerson("乙");
    recorder.beforeCommit();
  }  // ended without the commit
  ASSERT_EQ(this->tables(), committed);
  this->undo();
  EXPECT_EQ(this->tables(), before);
}

// A person changed in place, as an update by identity number changes one:
// its own row set, one history row replaced by another. Taken back, the
// person and its rows are as before, keys included.
TYPED_TEST(TakeBack, PersonChangedInPlaceGetsItsEarlierRowsBack) {
  const Tables before = this->tables();
  JournalFile file(this->journalFile);
  RunInfo info;
  info.database = databaseKey(this->target());
  info.department = "0102";
  info.way = "append";  // an append whose operator chose to update the people the department has
  RunRecorder recorder(file, *this->conn, file.beginRun(info));
  {
    db::Transaction batch(*this->conn);
    recorder.personChanging(1);
    this->exec("update ryjbxx set xm='赵一一', kjgl=null where id=1");
    this->exec("delete from ryxl where mid=1");
    this->exec("insert into ryxl (mid, xxxs, xlrq, xldm) values (1, '在职', '1990-07-01', '31')");
    recorder.personAdded(1);  // stored again under its own id
    recorder.beforeCommit();
    batch.commit();
    recorder.committed();
  }
  const RunInfo run = file.runs(info.database).front();
  EXPECT_EQ(run.way, "update");
  EXPECT_EQ(run.added, 0);
  EXPECT_EQ(run.updated, 1);
  this->undo();
  EXPECT_EQ(this->tables(), before);
}

// A person the run changes in one batch and again in a later one: each
// change is checked against how the run left the row when it is undone.
TYPED_TEST(TakeBack, PersonChangedTwiceComesBackAsBefore) {
  const Tables before = this->tables();
  JournalFile file(this->journalFile);
  RunInfo info;
  info.database = databaseKey(this->target());
  info.department = "0102";
  RunRecorder recorder(file, *this->conn, file.beginRun(info));
  for (const char* name : {"赵一一", "赵一二"}) {
    db::Transaction batch(*this->conn);
    recorder.personChanging(1);
    this->exec(std::string("update ryjbxx set xm='") + name + "' where id=1");
    this->exec("update ryxl set xxxs='" + std::string(name) + "' where mid=1");
    recorder.beforeCommit();
    batch.commit();
    recorder.committed();
  }
  this->undo();
  EXPECT_EQ(this->tables(), before);
}

// Several people changed in one batch: their rows are written down together
// by table and change, and every one comes back.
TYPED_TEST(TakeBack, PeopleChangedInOneBatchComeBackAsBefore) {
  const Tables before = this->tables();
  JournalFile file(this->journalFile);
  RunInfo info;
  info.database = databaseKey(this->target());
  info.department = "01";
  RunRecorder recorder(file, *this->conn, file.beginRun(info));
  db::Transaction batch(*this->conn);
  for (const char* id : {"1", "2", "3"}) {
    recorder.personChanging(std::stoll(id));
    this->exec(std::string("update ryjbxx set xm='改") + id + "', sfzh=null where id=" + id);
    this->exec(std::string("delete from rybdrz where mid=") + id);
    this->exec(std::string("delete from rygzbhb where mid=") + id);
    this->exec(std::string("insert into ryxl (mid, xxxs, xldm) values (") + id + ", '在职', '31')");
    recorder.personAdded(std::stoll(id));
  }
  recorder.beforeCommit();
  batch.commit();
  recorder.committed();
  EXPECT_EQ(file.runs(info.database).front().updated, 3);
  this->undo();
  EXPECT_EQ(this->tables(), before);
}

// A whole run that updates the people it imported before, several to a
// batch: each person is read as it was before any of the batch is written.
TYPED_TEST(TakeBack, UpdateRunTakenBackLeavesThePeopleAsBefore) {
  this->import(imp::ImportMode::Append);
  this->exec("update ryjbxx set xm='改过', grsf='临时' where bm='0102'");
  const Tables before = this->tables();
  {
    JournalledRun run(this->journalFile, *this->conn, this->target(), "0102", imp::ImportMode::Append, kPeople);
    imp::ImportRequest r;
    r.departmentCode = "0102";
    r.workbookPath = kPeople;
    r.updateExisting = true;
    r.journal = &run.journal();
    const imp::ImportOutcome o = imp::AInputExecute(*this->conn, this->codes, this->columns, this->frontend, r);
    ASSERT_EQ(o.personsUpdated, 2);
  }
  ASSERT_NE(this->tables(), before);
  this->undo();
  EXPECT_EQ(this->tables(), before);
}

// The digest of an inserted row, taken as the run reads its rows or, where
// the database hands them over, as it stores them, is the one the row gives
// when read again to take the run back: on every backend, for each kind of
// value the database hands back.
TYPED_TEST(TakeBack, DigestOfARowReadAgainIsTheSame) {
  const std::unique_ptr<db::InsertCapture> capture =
      this->conn->captureInserts({{"ryjbxx", "id", "id"}, {"rykh", "id", "mid"}});
  this->exec(
      "insert into ryjbxx (bm, xm, bh, csny, jxqyf, kjgl, dzysxl) values ('0102', '王䶮', '007', '1965-03-01', 12, "
      "-6, null)");
  this->exec("insert into rykh (mid, khnd, khjg) values (4, 2006, 1.5)");
  this->exec("insert into rykh (mid, khnd, khjg) values (4, 2007, 2)");
  const std::vector<db::InsertCapture::Taken> captured =
      capture ? capture->take() : std::vector<db::InsertCapture::Taken>{};
  std::size_t at = 0;
  for (const char* table : {"ryjbxx", "rykh"}) {
    const db::Statement rows{std::string("select * from ") + table + " where id > 1 order by id", {}};
    std::vector<RowGroup> groups;
    readGroups(
        *this->conn, rows, table, Change::Insert, [&](RowGroup&& g) { groups.push_back(std::move(g)); }, std::nullopt,
        true);
    ASSERT_EQ(groups.size(), 1u) << table;
    ASSERT_TRUE(groups[0].digests) << table;
    const std::vector<Entry> kept = entriesOf(groups[0]);
    const std::vector<db::Row> now = readRows(*this->conn, rows);
    ASSERT_EQ(kept.size(), now.size()) << table;
    for (std::size_t i = 0; i < now.size(); ++i)
      EXPECT_EQ(rowDigest(now[i], groups[0].columns), kept[i].digest) << table << " row " << i;
    if (!capture) continue;
    // Captured: the same columns, and each inserted row's digest as read.
    const db::InsertCapture::Taken& c = captured.at(at++);
    ASSERT_TRUE(c.complete) << table;
    EXPECT_EQ(c.columns, groups[0].columns) << table;
    ASSERT_EQ(c.rows.size(), std::string(table) == "rykh" ? 2u : 1u) << table;
    for (const db::CapturedRow& r : c.rows) {
      const auto read = std::find_if(kept.begin(), kept.end(), [&](const Entry& e) {
        return e.after.columns().front().second == db::Value(r.key);
      });
      ASSERT_NE(read, kept.end()) << table << " id=" << r.key;
      EXPECT_EQ(r.digest, read->digest) << table << " id=" << r.key;
    }
  }
}

// A column of bytes (a photo a migrated table may carry) gives the same
// digest captured as stored and as read back, so that taking back does not
// take such a row for changed.
TYPED_TEST(TakeBack, BytesCapturedGiveTheDigestOfTheRowRead) {
  if (this->conn->captureInserts({}) == nullptr) GTEST_SKIP() << "no insert capture here";
  this->exec("create table photo (id integer primary key, mid integer, pic blob)");
  const std::unique_ptr<db::InsertCapture> capture = this->conn->captureInserts({{"photo", "id", "mid"}});
  this->exec("insert into photo (id, mid, pic) values (1, 4, x'00ff0a')");
  const std::vector<db::InsertCapture::Taken> captured = capture->take();
  ASSERT_EQ(captured.size(), 1u);
  ASSERT_EQ(captured[0].rows.size(), 1u);
  const std::vector<db::Row> now = readRows(*this->conn, db::Statement{"select * from photo", {}});
  ASSERT_EQ(now.size(), 1u);
  EXPECT_EQ(captured[0].rows[0].digest, rowDigest(now[0], captured[0].columns));
}

// Rows undone before their batch's commit, a refused row's (its savepoint
// rolled back) and a refused batch's (its transaction rolled back), whose
// keys the next rows may take again, are not in the journal: the run is
// taken back whole, nothing else with it.
TYPED_TEST(TakeBack, RowsUndoneBeforeTheCommitLeaveNoKeyBehind) {
  const Tables before = this->tables();
  JournalFile file(this->journalFile);
  RunInfo info;
  info.database = databaseKey(this->target());
  info.department = "0102";
  info.way = "append";
  RunRecorder recorder(file, *this->conn, file.beginRun(info));
  db::Connection& c = *this->conn;
  auto insertPerson = [&](const char* name) {
    db::Row person;
    person.set("bm", std::string("0102"));
    person.set("xm", G(name));
    const int64_t id = c.insertReturningKey("ryjbxx", person, "id");
    c.execute({"insert into ryjl (mid) values (" + std::to_string(id) + ")", {}});
    c.execute({"insert into rykh (mid, khnd) values (" + std::to_string(id) + ", 2006)", {}});
    return id;
  };
  const auto commitBatch = [&](db::Transaction& batch) {
    recorder.beforeCommit();
    batch.commit();
    recorder.committed();
  };
  {
    db::Transaction batch(c);
    recorder.personAdded(insertPerson("甲"));
    {
      db::Savepoint refused(c, "gzrow");
      insertPerson("乙");
      refused.rollback();
    }
    recorder.personAdded(insertPerson("丙"));
    commitBatch(batch);
  }
  {
    db::Transaction refused(c);
    recorder.personAdded(insertPerson("丁"));
    recorder.rolledBack();
    refused.rollback();
  }
  {
    db::Transaction batch(c);
    recorder.personAdded(insertPerson("戊"));
    commitBatch(batch);
  }
  EXPECT_EQ(file.runs(info.database).front().added, 3);
  this->undo();
  EXPECT_EQ(this->tables(), before);
}

// A file written before inserted rows were kept as digests holds them whole:
// such a run still lists, is taken back, and a refusal names the column.
TYPED_TEST(TakeBack, InsertedRowsKeptWholeAreStillTakenBack) {
  struct Row {
    const char* name;
    const char* change;  // after the run; none: taken back
  };
  const Row rows[] = {{"as the run left them", nullptr}, {"renamed since", "update ryjbxx set xm='别人' where id > 3"}};
  for (const Row& row : rows) {
    const Tables before = this->tables();
    JournalFile file(this->journalFile);
    RunInfo info;
    info.database = databaseKey(this->target());
    info.department = "0102";
    info.way = "append";
    const int64_t run = file.beginRun(info);
    db::Row person;
    person.set("bm", std::string("0102"));
    person.set("xm", G("甲"));
    const int64_t id = this->conn->insertReturningKey("ryjbxx", person, "id");
    this->exec("insert into ryjl (mid) values (" + std::to_string(id) + ")");
    std::vector<RowGroup> groups;
    const db::WholeRows how = db::dialectOf(*this->conn).wholeRows();
    for (auto [table, owner] : {std::pair{"ryjbxx", "id"}, {"ryjl", "mid"}})
      readGroups(*this->conn, how.selectBetween(table, owner, id, id), table, Change::Insert,
                 [&](RowGroup&& g) { groups.push_back(std::move(g)); });
    file.writeBatch(run, 0, groups);
    file.sealBatch(run, 0);
    EXPECT_EQ(file.runs(info.database).front().added, 1) << row.name;
    if (!row.change) {
      this->undo();
      EXPECT_EQ(this->tables(), before) << row.name;
      continue;
    }
    this->exec(row.change);
    const Tables changed = this->tables();
    try {
      this->undo();
      ADD_FAILURE() << row.name << ": taken back over a later change";
    } catch (const JournalError& e) {
      EXPECT_NE(std::string(e.what()).find("(列 xm)"), std::string::npos) << row.name << ": " << e.what();
    }
    EXPECT_EQ(this->tables(), changed) << row.name;
  }
}

// Passes statements on, and fails the one numbered `failAt` as a lost
// connection would.
class FailingConnection final : public db::Connection, public db::DialectSource {
 public:
  FailingConnection(db::Connection& real, int failAt) : real_(real), failAt_(failAt) {}
  const db::Dialect& dialect() const override { return db::dialectOf(real_); }
  db::DialectKind dialectKind() const override { return real_.dialectKind(); }
  std::string describe() const override { return real_.describe(); }
  void execute(const db::Statement& s) override {
    if (++executed_ == failAt_) throw db::DbError(db::DbFault::ConnectionLost, "cut off");
    real_.execute(s);
  }
  bool tryExecute(const db::Statement& s) override { return real_.tryExecute(s); }
  std::unique_ptr<db::ResultSet> query(const db::Statement& s) override { return real_.query(s); }
  int64_t insertReturningKey(std::string_view t, const db::Row& r, std::string_view k) override {
    return real_.insertReturningKey(t, r, k);
  }
  void setBusyWait(const db::BusyWait& w) override { real_.setBusyWait(w); }

 private:
  void begin() override { beginOn(real_); }
  void commit() override { commitOn(real_); }
  void rollback() override { rollbackOn(real_); }
  void savepoint(const char* n) override { savepointOn(real_, n); }
  void releaseSavepoint(const char* n) override { releaseSavepointOn(real_, n); }
  void rollbackToSavepoint(const char* n) override { rollbackToSavepointOn(real_, n); }
  db::Connection& real_;
  int failAt_;
  int executed_ = 0;
};

TYPED_TEST(TakeBack, UndoCutShortLeavesTheRunWhole) {
  const Tables before = this->tables();
  this->import(imp::ImportMode::Overwrite);
  const Tables after = this->tables();
  {
    FailingConnection failing(*this->conn, 5);
    JournalFile file(this->journalFile);
    const RunInfo run = chooseRun(file, databaseKey(this->target()), std::nullopt);
    EXPECT_THROW(takeBack(file, failing, run), db::DbError);
  }
  EXPECT_EQ(this->tables(), after);
  this->undo();
  EXPECT_EQ(this->tables(), before);

  // An attempt that committed but ended before noting it: the next one
  // finds the database taken back and only notes it.
  JournalFile file(this->journalFile);
  const RunInfo run = file.runs(databaseKey(this->target())).front();
  file.setState(run.key, RunState::TakingBack);
  EXPECT_TRUE(this->undo(run.number).foundDone);
  EXPECT_EQ(this->tables(), before);
  EXPECT_EQ(file.runs(databaseKey(this->target())).front().state, RunState::TakenBack);
}

// Deleted people come back with their keys into a column the server always
// numbers itself, and the numbering goes on from where it was.
TYPED_TEST(TakeBack, KeysComeBackIntoIdentityColumnsWithoutMovingTheSequence) {
  if constexpr (!std::is_same_v<TypeParam, db::testing::PostgresBackend>) GTEST_SKIP() << "PostgreSQL only";
  const Tables before = this->tables();
  this->import(imp::ImportMode::Overwrite);
  this->exec("alter table ryjbxx alter column id drop default");
  this->exec("alter table ryjbxx alter column id add generated always as identity (start with 100)");
  this->undo();
  EXPECT_EQ(this->tables(), before);
  const auto next = this->conn->query({G("insert into ryjbxx (bm, xm) values ('09', '新') returning id"), {}});
  ASSERT_TRUE(next->next());
  EXPECT_EQ(next->integer("id"), 100);
}

// Every way is taken back whatever numbers the tables' keys on a server: a
// key is never set again on a row the run updated, and rows the run deleted
// come back with their keys also into columns the server always numbers.
TYPED_TEST(TakeBack, EveryWayTakenBackWhateverTheKeyColumns) {
  if constexpr (std::is_same_v<TypeParam, db::testing::SqliteBackend>) GTEST_SKIP() << "server key columns";
  struct Row {
    const char* name;
    const char* numbering;  // the id column's new numbering; empty: serial as created
  };
  const Row rows[] = {
      {"serial", ""},
      {"identity always", "add generated always as identity"},
      {"identity by default", "add generated by default as identity"},
      {"plain integer", "set default nextval('ids')"},  // a sequence the column does not own
  };
  for (const Row& row : rows) {
    for (const char* t : kTables) this->exec("drop table " + std::string(t));
    this->exec("drop table dm_jg");
    this->exec("drop sequence if exists ids");
    this->exec("create sequence ids");
    db::createSchema(*this->conn);
    for (const std::string t : kTables) {
      if (!*row.numbering) break;
      this->exec("alter table " + t + " alter column id drop default");
      this->exec("drop sequence " + t + "_id_seq");
      this->exec("alter table " + t + " alter column id " + row.numbering);
    }
    this->fillEarlierPeople();
    const Tables before = this->tables();
    for (const imp::ImportMode mode : {imp::ImportMode::Append, imp::ImportMode::Overwrite}) {
      ASSERT_EQ(this->import(mode).personsStored, 2) << row.name << " " << wayName(mode);
      this->undo();
      EXPECT_EQ(this->tables(), before) << row.name << " " << wayName(mode);
    }
    // An update of the people an earlier run added: their own rows set
    // again, their history rows deleted and put back.
    this->import(imp::ImportMode::Append);
    this->exec("update ryjbxx set xm='改过' where id > 3");
    const Tables updated = this->tables();
    {
      JournalledRun run(this->journalFile, *this->conn, this->target(), "0102", imp::ImportMode::Append, kPeople);
      imp::ImportRequest r;
      r.departmentCode = "0102";
      r.workbookPath = kPeople;
      r.updateExisting = true;
      r.journal = &run.journal();
      ASSERT_EQ(imp::AInputExecute(*this->conn, this->codes, this->columns, this->frontend, r).personsUpdated, 2)
          << row.name;
    }
    ASSERT_NE(this->tables(), updated) << row.name;
    this->undo();
    EXPECT_EQ(this->tables(), updated) << row.name << " update";
  }
}

TYPED_TEST(TakeBack, LaterRunIntoAnOverlappingDepartmentGoesFirst) {
  const Tables before = this->tables();
  this->import(imp::ImportMode::Append, "01");
  this->import(imp::ImportMode::Append, "0102");
  try {
    this->undo(1);
    ADD_FAILURE() << "the earlier run was taken back first";
  } catch (const JournalError& e) {
    EXPECT_EQ(e.fault(), JournalFault::LaterRunFirst);
  }
  this->undo();
  this->undo(1);
  EXPECT_EQ(this->tables(), before);
  EXPECT_THROW(this->undo(), JournalError);
}

}  // namespace
}  // namespace gz::journal::testing
