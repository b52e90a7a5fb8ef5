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
#include "db/row.h"
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

namespace gz::db {
namespace {

// What a query reads back of the value, in the capture's form.
bool sameAsRead(const StoredValue& kept, const Value& read) {
  switch (kept.kind) {
    case StoredValue::Kind::Null: return std::holds_alternative<std::monostate>(read);
    case StoredValue::Kind::Whole:
    case StoredValue::Kind::Decimal: {
      const double k = kept.kind == StoredValue::Kind::Whole ? static_cast<double>(kept.whole) : kept.decimal;
      if (const int64_t* i = std::get_if<int64_t>(&read)) return static_cast<double>(*i) == k;
      if (const double* d = std::get_if<double>(&read)) return *d == k;
      return false;
    }
    case StoredValue::Kind::Text: {
      const std::string* s = std::get_if<std::string>(&read);
      return s && *s == kept.text;
    }
    case StoredValue::Kind::Bytes: {
      const Blob* b = std::get_if<Blob>(&read);
      return b && b->bytes == kept.text;
    }
  }
  return false;
}

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
    // Each row's values, texts copied: their views die with the hook.
    std::vector<std::pair<std::vector<StoredValue>, std::vector<std::string>>> kept;
    Transaction t(*conn);
    const std::unique_ptr<InsertCapture> c =
        conn->captureInserts({{"typed", "id", "mid"}}, [&](const std::vector<StoredValue>& values) {
          auto& [row, texts] = kept.emplace_back(values, std::vector<std::string>());
          for (const StoredValue& v : values) texts.emplace_back(v.text);
          return uint64_t{0};
        });
    if (!c) GTEST_SKIP() << "no insert capture here";
    db::Row r;
    r.set("mid", int64_t{1});
    r.set("v", row.bound);
    // One row with its key read back, one statement, two in one insert.
    conn->insertReturningKey("typed", r, "id");
    const Statement insert = rowInsert("typed", r, "typed");
    conn->execute(insert);
    conn->tryExecuteEach({insert, insert});
    ASSERT_EQ(kept.size(), 4u) << row.name;
    const auto read = conn->query({"select * from typed order by id", {}});
    for (auto& [values, texts] : kept) {
      ASSERT_TRUE(read->next()) << row.name;
      ASSERT_EQ(values.size(), 3u) << row.name;
      for (std::size_t i = 0; i < values.size(); ++i) {
        values[i].text = texts[i];
        EXPECT_TRUE(sameAsRead(values[i], read->valueAt(static_cast<int>(i)))) << row.name << ", column " << i;
      }
    }
  }
}

// SQLite's hook never hands over the rows of a table without rowid: such a
// table is never complete, so that its rows are read back instead of taken
// as none.
TEST_F(InsertCaptureTest, ATableWithoutRowidIsNeverComplete) {
  conn->execute({"create table plain (id integer primary key, mid integer) without rowid", {}});
  Transaction t(*conn);
  const std::unique_ptr<InsertCapture> c =
      conn->captureInserts({{"plain", "id", "mid"}}, [](const std::vector<StoredValue>&) { return uint64_t{0}; });
  if (!c) GTEST_SKIP() << "no insert capture here";
  conn->execute({"insert into plain (id, mid) values (?, ?)", {int64_t{1}, int64_t{1}}});
  const std::vector<InsertCapture::Taken> taken = c->take();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_FALSE(taken[0].complete);
}

}  // namespace
}  // namespace gz::db
