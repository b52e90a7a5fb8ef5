// The columns of a result as the backends name them: the journal reads
// whole rows by these names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/connection.h"
#include "db/tests/backends.h"

namespace gz::db {
namespace {

template <typename Backend>
class ResultColumns : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    conn->execute({std::string("create table t (") + Backend::kAutoId + ", Xm varchar(10), n integer)", {}});
    conn->execute({"insert into t (xm, n) values ('a', 1)", {}});
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }
  Backend backend;
  std::unique_ptr<Connection> conn;
};

TYPED_TEST_SUITE(ResultColumns, testing::AllBackends, testing::BackendNames);

TYPED_TEST(ResultColumns, NamedInTheirOrderAndReadByThoseNames) {
  struct Row {
    const char* name;
    const char* query;
    std::vector<std::string> columns;
  };
  const Row rows[] = {
      {"every column", "select * from t", {"id", "xm", "n"}},
      {"chosen and renamed", "select n as total, id from t", {"total", "id"}},
  };
  for (const Row& row : rows) {
    const auto rs = this->conn->query({row.query, {}});
    ASSERT_TRUE(rs->next()) << row.name;
    EXPECT_EQ(rs->columnNames(), row.columns) << row.name;
    for (const std::string& c : rs->columnNames()) EXPECT_NO_THROW(rs->value(c.c_str())) << row.name << ": " << c;
  }
}

}  // namespace
}  // namespace gz::db
