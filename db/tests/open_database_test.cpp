#include "db/open_database.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <string>

namespace gz::db {
namespace {

class OpenDatabaseTest : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return QDir(dir.path()).filePath(name).toStdString(); }
  std::string write(const char* name, const QByteArray& bytes) const {
    QFile f(QString::fromStdString(path(name)));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path(name);
  }
  static bool exists(const std::string& p) { return QFileInfo::exists(QString::fromStdString(p)); }

  // The operator sees `expected` in the message.
  static void expectRefused(const std::string& target, const std::string& expected) {
    try {
      openDatabase(target);
      ADD_FAILURE() << "opened " << target;
    } catch (const DbError& e) {
      EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
    }
  }

  QTemporaryDir dir;
};

TEST_F(OpenDatabaseTest, RefusesWhatIsNotADatabaseAndCreatesNothing) {
  const std::string missing = path("gzgl.mdb");
  expectRefused(missing, "数据库文件不存在: " + missing);
  EXPECT_FALSE(exists(missing));
  expectRefused(write("empty.mdb", {}), "不是数据库文件");
  expectRefused(write("text.mdb", "select * from t;\n"), "不是数据库文件");
  expectRefused(dir.path().toStdString(), "不是数据库文件");
  // The right first bytes and nothing else that a database needs.
  QByteArray broken("SQLite format 3\0", 16);
  broken.append(QByteArray(4096, '\x5a'));
  expectRefused(write("broken.db", broken), "数据库文件已损坏");
  QByteArray jet(4, '\0');
  jet.append(QByteArray("Standard Jet DB\0", 16)).append(QByteArray(2048, '\0'));
#ifdef _WIN32
  // No Access ODBC driver on this machine: the message says that it is needed.
  expectRefused(write("old.mdb", jet), "Access ODBC");
#else
  // Known by its first bytes whatever its name: the message names the command that brings it over.
  expectRefused(write("old.dat", jet), "gzimport migrate " + path("old.dat") + " --to");
#endif
}

TEST_F(OpenDatabaseTest, RefusalsCarryTheirKind) {
  QByteArray broken("SQLite format 3\0", 16);
  broken.append(QByteArray(4096, '\x5a'));
  QByteArray jet(4, '\0');
  jet.append(QByteArray("Standard Jet DB\0", 16)).append(QByteArray(2048, '\0'));
  struct Row {
    const char* name;
    std::string target;
    DbFault fault;
  };
  const Row rows[] = {
      {"missing file", path("gzgl.mdb"), DbFault::NotFound},
      {"empty file", write("empty.mdb", {}), DbFault::NotADatabase},
      {"a folder", dir.path().toStdString(), DbFault::NotADatabase},
      {"damaged SQLite file", write("broken.db", broken), DbFault::NotADatabase},
#ifdef _WIN32
      {"Jet file without its driver", write("old.mdb", jet), DbFault::CannotConnect},
#else
      {"Jet file, which is only read here", write("old.mdb", jet), DbFault::Unsupported},
#endif
      {"incomplete server address", "postgresql:///gztest", DbFault::CannotConnect},
      {"server that does not answer", "postgresql://postgres@127.0.0.1:1/gztest", DbFault::CannotConnect},
      {"unknown ODBC driver", "odbc:Driver={No Such Driver};", DbFault::CannotConnect},
  };
  for (const Row& r : rows) {
    try {
      openDatabase(r.target);
      ADD_FAILURE() << r.name << ": opened";
    } catch (const DbError& e) {
      EXPECT_EQ(e.fault(), r.fault) << r.name << ": " << e.what();
    }
  }
  const std::string kept = write("keep.db", "precious");
  try {
    createSqliteDatabase(kept);
    ADD_FAILURE() << "created over a file";
  } catch (const DbError& e) {
    EXPECT_EQ(e.fault(), DbFault::Exists);
  }
}

// A new row's key is read from the row, not assumed to be SQLite's rowid:
// the two are one only when the key is declared "integer primary key".
TEST_F(OpenDatabaseTest, NewKeyComesFromTheRowItself) {
  const std::string p = path("other.db");
  {
    auto c = createSqliteDatabase(p);
    c->execute({"create table people (id bigint primary key, xm text)", {}});  // no numbering at all
  }
  auto c = openDatabase(p);
  Row r;
  r.set("xm", std::string("a"));
  EXPECT_THROW(c->insertReturningKey("people", r, "id"), DbError);  // rather than a rowid that is no row's key
  c->execute({"drop table people", {}});
  c->execute({"create table people (id integer primary key autoincrement, xm text)", {}});
  c->execute({"insert into people (id, xm) values (41, 'x')", {}});
  EXPECT_EQ(c->insertReturningKey("people", r, "id"), 42);
  // An autoincrement id is the rowid, also when a trigger stores rows elsewhere.
  c->execute({"create table other (id integer primary key autoincrement, v int)", {}});
  c->execute({"insert into other (id, v) values (99, 0)", {}});
  c->execute({"create trigger more after insert on people begin insert into other (v) values (1); end", {}});
  Transaction t(*c);
  EXPECT_EQ(c->insertReturningKey("people", r, "id"), 43);
  EXPECT_EQ(c->insertReturningKey("people", r, "id"), 44);
  t.commit();
}

TEST_F(OpenDatabaseTest, CreatingNeverOverwrites) {
  const std::string p = write("keep.db", "precious");
  EXPECT_THROW(createSqliteDatabase(p), DbError);
  QFile f(QString::fromStdString(p));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("precious"));
}

TEST_F(OpenDatabaseTest, ServerAddressesMustBeComplete) {
  expectRefused("postgresql://postgres@127.0.0.1:1", "不完整");
  expectRefused("postgresql:///gztest", "不完整");
}

TEST(AccessConnectionString, OpensTheFileSharedWithItsPassword) {
  const std::string s = accessConnectionString("/data/gzgl.mdb");
  EXPECT_EQ(s,
            "Driver={Microsoft Access Driver (*.mdb, *.accdb)};DBQ=/data/gzgl.mdb;PWD=Qm7pLx2RvT9kWz4N;Exclusive=0;");
}

// An ODBC connection takes its dialect from the database behind the driver.
TEST(OdbcConnection, PicksTheDialectOfTheServer) {
  const char* target = std::getenv("GZ_TEST_ODBC");
  if (!target || !*target) GTEST_SKIP() << "GZ_TEST_ODBC is not set: start scripts/pg-test-server.sh";
  auto c = openDatabase(target);
  EXPECT_EQ(c->dialectKind(), DialectKind::Postgres);
  EXPECT_NE(c->describe().find("PostgreSQL"), std::string::npos);
}

TEST(OdbcConnection, UnknownDataSourceIsAClearError) {
  try {
    openDatabase("odbc:Driver={No Such Driver};PWD=secret;");
    FAIL() << "opened";
  } catch (const DbError& e) {
    EXPECT_NE(std::string(e.what()).find("ODBC"), std::string::npos);
    EXPECT_EQ(std::string(e.what()).find("secret"), std::string::npos) << "password in message";
  }
}

}  // namespace
}  // namespace gz::db
