// Inserted rows captured as SQLite stores them: exactly the rows the open
// transaction keeps, whatever undid others on the way (a refused statement,
// a savepoint rolled back to, a rollback), each with its key, its owner and
// the digest of its values as stored: the digest of the row read back.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "db/connection.h"
#include "db/row.h"
#include "db/row_digest.h"
#include "db/sql_values.h"
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

  std::unique_ptr<InsertCapture> capture() { return conn->captureInserts({{"t", "id", "mid"}}); }
  void add(int64_t mid, int64_t n) { conn->execute({"insert into t (mid, n) values (?, ?)", {mid, n}}); }
  // The digests of the table's rows as a query reads them, in the order of their keys.
  std::vector<uint64_t> readDigests(const std::string& table) {
    std::vector<uint64_t> out;
    const auto read = conn->query({"select * from " + table + " order by id", {}});
    while (read->next()) {
      RowDigest d;
      for (int i = 0; i < static_cast<int>(read->columnNames().size()); ++i) d.add(read->valueAt(i));
      out.push_back(d.value());
    }
    return out;
  }

  testing::SqliteBackend backend;
  std::unique_ptr<Connection> conn;
};

// key, owner (-1 for none) and `n` of each row of t kept
using Kept = std::vector<std::tuple<int64_t, int64_t, int64_t>>;

// The digest of a row of t as stored: its key, owner, `n` and no text.
uint64_t digestOfT(int64_t key, int64_t owner, int64_t n) {
  RowDigest d;
  for (const Value& v : {Value{key}, owner < 0 ? Value{} : Value{owner}, Value{n}, Value{}}) d.add(v);
  return d.value();
}

// The rows kept as key, owner and the `n` whose row their digest is (0 for none).
Kept kept(const InsertCapture::Taken& t) {
  Kept out;
  for (const CapturedRow& r : t.rows) {
    const int64_t owner = r.owner.value_or(-1);
    int64_t n = 0;
    for (int64_t candidate = 1; candidate <= 9 && n == 0; ++candidate)
      if (r.digest == digestOfT(r.key, owner, candidate)) n = candidate;
    out.emplace_back(r.key, owner, n);
  }
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
  Transaction batch(*conn);
  conn->execute({"insert into t (mid, n, x) values (1, 1, ?)", {std::string("\xcd\xf5 abc")}});  // 王 abc
  conn->execute({"insert into t (mid, n, x) values (1, 2, 'plain')", {}});
  const std::vector<InsertCapture::Taken> taken = c->take();
  std::vector<uint64_t> digests;
  for (const CapturedRow& r : taken.at(0).rows) digests.push_back(r.digest);
  EXPECT_EQ(digests, readDigests("t"));
}

TEST_F(InsertCaptureTest, EndsWhenItGoes) {
  capture().reset();
  add(7, 1);
  const std::unique_ptr<InsertCapture> c = capture();
  ASSERT_NE(c, nullptr) << "a second capture once the first has gone";
  EXPECT_EQ(conn->captureInserts({{"t", "id", "mid"}}), nullptr) << "one capture at a time";
  add(7, 2);
  EXPECT_EQ(kept(c->take()[0]), (Kept{{2, 7, 2}}));
  conn.reset();  // a capture that outlives its connection ends without touching it
}

}  // namespace
}  // namespace gz::db

namespace gz::db {
namespace {

// The values kept for an inserted row are those a query reads back, whatever
// the column's declared type makes SQLite store: told from the bound values
// where the type says how, else as SQLite hands the stored row over.
TEST_F(InsertCaptureTest, KeptValuesAreThoseReadBackWhateverTheColumnType) {
  struct Row {
    const char* name;
    const char* type;
    Value bound;
    const char* tableOptions = "";
  };
  const Row rows[] = {
      {"a Chinese text into varchar", "varchar(40)", std::string("\xb8\xc9\xb2\xbf")},
      {"a character beyond the BMP", "varchar(40)", std::string("\x95\x32\x82\x36")},
      {"a code of digits into numeric", "numeric", std::string("1")},
      {"a code with a leading zero into numeric", "numeric", std::string("01")},
      {"the same into varchar", "varchar(10)", std::string("01")},
      {"a signed code into integer", "integer", std::string("-07")},
      {"sixteen digits into numeric", "numeric", std::string("1234567890123456")},
      {"digits with spaces into numeric", "numeric", std::string(" 5 ")},
      {"a decimal text into numeric", "numeric", std::string("1.50")},
      {"an exponent into real", "real", std::string("1e3")},
      {"hexadecimal digits into integer", "integer", std::string("0x1A")},
      {"a date into date", "date", Date{1964, 10, 28}},
      {"a date-like text into datetime", "datetime", std::string("1964-10-28")},
      {"a whole number into varchar", "varchar(20)", int64_t{3}},
      {"a negative whole number into text", "text", int64_t{-12}},
      {"a whole number into real", "real", int64_t{5}},
      {"a whole decimal into integer", "integer", 3.0},
      {"a whole decimal into varchar", "varchar(20)", 3.0},
      {"a decimal into integer", "integer", 2.5},
      {"a decimal into varchar", "varchar(20)", 2.5},
      {"a whole decimal into real", "real", 3.0},
      {"a whole decimal into no type", "", 4.0},
      {"a negative fraction into numeric", "numeric", -2.5},
      {"a date into varchar", "varchar(20)", Date{1964, 10, 28}},
      {"a large whole decimal into no type", "", 9007199254740993.0},
      {"bytes into integer", "integer", Blob{std::string("12")}},
      {"null into numeric", "numeric", std::monostate{}},
      {"a code into a strict table's ANY", "any", std::string("1"), " strict"},
      {"a code into a strict table's integer", "integer", std::string("01"), " strict"},
  };
  for (const Row& row : rows) {
    conn->execute({"drop table if exists typed", {}});
    conn->execute({std::string("create table typed (id integer primary key autoincrement, mid integer, v ") + row.type +
                       ")" + row.tableOptions,
                   {}});
    Transaction t(*conn);
    const std::unique_ptr<InsertCapture> c = conn->captureInserts({{"typed", "id", "mid"}});
    if (!c) GTEST_SKIP() << "no insert capture here";
    db::Row r;
    r.set("mid", int64_t{1});
    r.set("v", row.bound);
    // One row with its key read back, one statement, two in one insert.
    conn->insertReturningKey("typed", r, "id");
    const Statement insert = rowInsert("typed", r, "typed");
    conn->execute(insert);
    conn->tryExecuteEach({insert, insert});
    const std::vector<InsertCapture::Taken> taken = c->take();
    ASSERT_EQ(taken.at(0).rows.size(), 4u) << row.name;
    const std::vector<uint64_t> read = readDigests("typed");
    for (std::size_t i = 0; i < read.size(); ++i)
      EXPECT_EQ(taken[0].rows[i].digest, read[i]) << row.name << ", row " << i;
  }
}

// SQLite's hook never hands over the rows of a table without rowid: such a
// table is never complete, so that its rows are read back instead of taken
// as none.
TEST_F(InsertCaptureTest, ATableWithoutRowidIsNeverComplete) {
  conn->execute({"create table plain (id integer primary key, mid integer) without rowid", {}});
  Transaction t(*conn);
  const std::unique_ptr<InsertCapture> c = conn->captureInserts({{"plain", "id", "mid"}});
  if (!c) GTEST_SKIP() << "no insert capture here";
  conn->execute({"insert into plain (id, mid) values (?, ?)", {int64_t{1}, int64_t{1}}});
  const std::vector<InsertCapture::Taken> taken = c->take();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_FALSE(taken[0].complete);
}

}  // namespace
}  // namespace gz::db
