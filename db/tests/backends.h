// The database backends the connection tests run against. SQLite always;
// PostgreSQL and ODBC when GZ_TEST_PG_URL / GZ_TEST_ODBC name a test server
// (scripts/pg-test-server.sh starts one).
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "db/connection.h"
#include "db/open_database.h"

namespace gz::db::testing {

// The kind of the DbError `work` throws; nullopt when it throws none.
inline std::optional<DbFault> faultOf(const std::function<void()>& work) {
  try {
    work();
  } catch (const DbError& e) {
    return e.fault();
  }
  return std::nullopt;
}

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
  // A second connection to the database open() made, as another user's.
  std::unique_ptr<Connection> openAnother() { return openDatabase(path()); }
  void close(Connection&) {}
};

// A server named by an environment variable. Every test works in
// a schema of its own, so tests that ctest runs side by side never meet.
class ServerBackend {
 public:
  std::unique_ptr<Connection> openFromEnv(const char* variable, std::string* skip) {
    const char* target = std::getenv(variable);
    if (!target || !*target) {
      *skip = std::string(variable) + " is not set: start scripts/pg-test-server.sh to run this backend";
      return nullptr;
    }
    auto c = openDatabase(target);
    target_ = target;
    static int counter = 0;
    schema_ = "gz_test_" + std::to_string(QCoreApplication::applicationPid()) + "_" + std::to_string(++counter);
    c->execute({"create schema " + schema_, {}});
    c->execute({"set search_path to " + schema_, {}});
    return c;
  }
  // A second connection to the schema the first one made, as another user's.
  std::unique_ptr<Connection> openAnother() {
    auto c = openDatabase(target_);
    c->execute({"set search_path to " + schema_, {}});
    return c;
  }
  void close(Connection& c) { c.execute({"drop schema " + schema_ + " cascade", {}}); }

 private:
  std::string target_;
  std::string schema_;
};

struct PostgresBackend : ServerBackend {
  static constexpr const char* kName = "PostgreSQL";
  static constexpr const char* kAutoId = "id serial primary key";
  std::unique_ptr<Connection> open(std::string* skip) { return openFromEnv("GZ_TEST_PG_URL", skip); }
};

struct OdbcBackend : ServerBackend {
  static constexpr const char* kName = "ODBC";
  static constexpr const char* kAutoId = "id serial primary key";
  std::unique_ptr<Connection> open(std::string* skip) { return openFromEnv("GZ_TEST_ODBC", skip); }
};

using AllBackends = ::testing::Types<SqliteBackend, PostgresBackend, OdbcBackend>;

struct BackendNames {
  template <typename T>
  static std::string GetName(int) {
    return T::kName;
  }
};

}  // namespace gz::db::testing
