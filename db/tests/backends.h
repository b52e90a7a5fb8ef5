// The database backends the connection tests run against. SQLite always;
// PostgreSQL and ODBC when GZ_TEST_PG_URL / GZ_TEST_ODBC name a test server
// (scripts/pg-test-server.sh starts one).
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <string>

#include "db/connection.h"
#include "db/open_database.h"

namespace gz::db::testing {

// Each backend hands out an empty database for every test.
struct SqliteBackend {
  static constexpr const char* kName = "SQLite";
  static constexpr const char* kAutoId = "id integer primary key autoincrement";
  QTemporaryDir dir;
  std::string path() const { return QDir(dir.path()).filePath("test.db").toStdString(); }
  std::unique_ptr<Connection> open(std::string* skip) {
    (void)skip;
    return createSqliteDatabase(path());
  }
};

// PostgreSQL reached through a spec from the environment; the tables of the
// previous test are dropped first.
inline void dropAllTables(Connection& c) {
  c.execute({"drop table if exists dm_jg, ryjbxx, ryxl, ryrz, rykh, rybdrz, ryjl, ryjc, rygzbhb cascade", {}});
}

inline std::unique_ptr<Connection> openServerFromEnv(const char* variable, std::string* skip) {
  const char* spec = std::getenv(variable);
  if (!spec || !*spec) {
    *skip = std::string(variable) + " is not set: start scripts/pg-test-server.sh to run this backend";
    return nullptr;
  }
  auto c = openDatabase(spec);
  dropAllTables(*c);
  return c;
}

struct PostgresBackend {
  static constexpr const char* kName = "PostgreSQL";
  static constexpr const char* kAutoId = "id serial primary key";
  std::unique_ptr<Connection> open(std::string* skip) { return openServerFromEnv("GZ_TEST_PG_URL", skip); }
};

struct OdbcBackend {
  static constexpr const char* kName = "ODBC";
  static constexpr const char* kAutoId = "id serial primary key";
  std::unique_ptr<Connection> open(std::string* skip) { return openServerFromEnv("GZ_TEST_ODBC", skip); }
};

using AllBackends = ::testing::Types<SqliteBackend, PostgresBackend, OdbcBackend>;

struct BackendNames {
  template <typename T>
  static std::string GetName(int) {
    return T::kName;
  }
};

}  // namespace gz::db::testing
