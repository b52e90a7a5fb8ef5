// Inserted rows captured as SQLite stores them: exactly the rows the open
// transaction keeps, whatever undid others on the way (a refused statement,
// a savepoint rolled back to, a rollback), each with its key, its owner and
// its values as stored.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "db/connection.h"
#include "db/tests/backends.h"

namespace gz::db {
namespace {

class InsertCaptureTest : public ::testing::Test {
 public:  // the table of cases works on the fixture
  void SetUp() override {
    conn = backend.open(nullptr);
    conn->execute(
        {"create table t (id integer primary key autoincrement, mid integer, n integer check (n >= 0), "
         "x text)",
         {}});
    conn->execute({"create table other (id integer primary key autoincrement, mid integer)", {}});
  }

  // Each row's digest is its `n`, so that the test sees which row was kept;
  // its texts are checked as they come.
  std::unique_ptr<InsertCapture> capture() {
    return conn->captureInserts({{"t", "id", "mid"}}, [this](const std::vector<StoredValue>& values) {
      if (values.size() == 4 && values[3].kind == StoredValue::Kind::Text) texts.emplace_back(values[3].text);
      return values.size() == 4 ? static_cast<uint64_t>(values[2].whole) : 0;
    });
  }
  void add(int64_t mid, int64_t n) { conn->execute({"insert into t (mid, n) values (?, ?)", {mid, n}}); }

  testing::SqliteBackend backend;
  std::unique_ptr<Connection> conn;
  std::vector<std::string> texts;
};

// key, owner, digest of each row kept
using Kept = std::vector<std::tuple<int64_t, int64_t, uint64_t>>;

Kept kept(const InsertCapture::Taken& t) {
  Kept out;
  for (const CapturedRow& r : t.rows) out.emplace_back(r.key, r.owner.value_or(-1), r.digest);
  return out;
}

TEST_F(InsertCaptureTest, KeepsExactlyTheRowsTheTransactionKeeps) {
  struct Row {
    const char* name;
    std::function<void(InsertCaptureTest&)> work;  // inside an open transaction
    Kept expected;
  };
  const Row rows[] = {
      {"rows inserted, others' tables left out",
       [](InsertCaptureTest& f) {
         f.add(7, 1);
         f.conn->execute({"insert into other (mid) values (7)", {}});
         f.add(8, 2);
       },
       {{1, 7, 1}, {2, 8, 2}}},
      {"a refused row's savepoint rolled back: its key taken again",
       [](InsertCaptureTest& f) {
         f.add(7, 1);
         {
           Savepoint row(*f.conn, "gzrow");
           f.add(8, 2);
           row.rollback();
         }
         f.add(9, 3);
       },
       {{1, 7, 1}, {2, 9, 3}}},
      {"a savepoint released keeps its rows, one rolled back around it drops them",
       [](InsertCaptureTest& f) {
         Savepoint send(*f.conn, "gzsend");
         Savepoint row(*f.conn, "gzrow");
         f.add(7, 1);
         row.release();
         send.rollback();
         f.add(8, 2);
       },
       {{1, 8, 2}}},
      {"a refused multi-row insert: its rows stored one by one, the refused one not",
       [](InsertCaptureTest& f) {
         std::vector<Statement> inserts;
         for (int64_t n : {1, -1, 3})
           inserts.push_back({"insert into t (mid, n) values (?, ?)",
                              {int64_t{7}, n},
                              std::make_shared<InsertInto>(InsertInto{"t", {"mid", "n"}})});
         EXPECT_EQ(f.conn->tryExecuteEach(inserts), (std::vector<bool>{true, false, true}));
       },
       {{1, 7, 1}, {2, 7, 3}}},
      {"an owner that is no number",
       [](InsertCaptureTest& f) { f.conn->execute({"insert into t (mid, n) values (null, 4)", {}}); },
       {{1, -1, 4}}},
  };
  for (const Row& row : rows) {
    conn->execute({"delete from t", {}});
    conn->execute({"delete from sqlite_sequence", {}});
    const std::unique_ptr<InsertCapture> c = capture();
    ASSERT_NE(c, nullptr) << "this SQLite has no pre-update hook";
    Transaction batch(*conn);
    row.work(*this);
    const std::vector<InsertCapture::Taken> taken = c->take();
    batch.commit();
    ASSERT_EQ(taken.size(), 1u) << row.name;
    EXPECT_TRUE(taken[0].complete) << row.name;
    EXPECT_EQ(taken[0].columns, (std::vector<std::string>{"id", "mid", "n", "x"})) << row.name;
    EXPECT_EQ(kept(taken[0]), row.expected) << row.name;
  }
}

TEST_F(InsertCaptureTest, ARollbackOrANewTransactionStartsAfresh) {
  const std::unique_ptr<InsertCapture> c = capture();
  {
    Transaction refused(*conn);
    add(7, 1);
  }  // rolled back
  Transaction batch(*conn);
  add(8, 2);
  EXPECT_EQ(kept(c->take()[0]), (Kept{{1, 8, 2}}));
  add(9, 3);
  EXPECT_EQ(kept(c->take()[0]), (Kept{{2, 9, 3}})) << "taken rows are not taken again";
  batch.commit();
  Transaction next(*conn);
  EXPECT_TRUE(c->take()[0].rows.empty());
}

TEST_F(InsertCaptureTest, RowsDeletedOrChangedMakeTheTableIncomplete) {
  const std::unique_ptr<InsertCapture> c = capture();
  for (const char* change : {"delete from t where n = 1", "update t set n = 5 where n = 1"}) {
    Transaction batch(*conn);
    add(7, 1);
    conn->execute({change, {}});
    EXPECT_FALSE(c->take()[0].complete) << change;
    add(7, 2);
    EXPECT_TRUE(c->take()[0].complete) << change << ": again complete after a take";
  }
}

TEST_F(InsertCaptureTest, TextsComeAsAQueryReadsThem) {
  const std::unique_ptr<InsertCapture> c = capture();
  conn->execute({"insert into t (mid, n, x) values (1, 1, ?)", {std::string("\xcd\xf5 abc")}});  // 王 abc
  conn->execute({"insert into t (mid, n, x) values (1, 2, 'plain')", {}});
  EXPECT_EQ(texts, (std::vector<std::string>{"\xcd\xf5 abc", "plain"}));
}

TEST_F(InsertCaptureTest, EndsWhenItGoes) {
  capture().reset();
  add(7, 1);
  const std::unique_ptr<InsertCapture> c = capture();
  ASSERT_NE(c, nullptr) << "a second capture once the first has gone";
  EXPECT_EQ(conn->captureInserts({{"t", "id", "mid"}}, {}), nullptr) << "one capture at a time";
  add(7, 2);
  EXPECT_EQ(kept(c->take()[0]), (Kept{{2, 7, 2}}));
  conn.reset();  // a capture that outlives its connection ends without touching it
}

}  // namespace
}  // namespace gz::db
