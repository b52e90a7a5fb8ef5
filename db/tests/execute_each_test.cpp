// Inserts run together by tryExecuteEach store what each would store alone,
// in their order, on every backend.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/tests/backends.h"

namespace gz::db {
namespace {

template <typename Backend>
class ExecuteEachTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    conn->execute(
        {std::string("create table h (") + Backend::kAutoId + ", n integer not null, y integer, d integer default 7)",
         {}});
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  // "n,y,d" of every row in the order the rows were numbered; null reads empty.
  std::vector<std::string> storedRows() {
    std::vector<std::string> out;
    const auto r = conn->query({"select n,y,d from h order by id", {}});
    while (r->next()) out.push_back(r->text("n") + "," + r->text("y") + "," + r->text("d"));
    return out;
  }

  Backend backend;
  std::unique_ptr<Connection> conn;
};

TYPED_TEST_SUITE(ExecuteEachTest, testing::AllBackends, testing::BackendNames);

TYPED_TEST(ExecuteEachTest, InsertsOfOneTableStoreWhatEachWouldAlone) {
  const InsertShape n("h", {"n"});
  const InsertShape ny("h", {"n", "y"});
  const InsertShape nyd("h", {"n", "y", "d"});
  const Value null = std::monostate{};
  struct Row {
    const char* name;
    std::vector<Statement> in;
    std::vector<bool> stored;
    std::vector<std::string> rows;  // n,y,d in the order numbered
  };
  const Row rows[] = {
      {"one shape", {n.statement({int64_t{1}}), n.statement({int64_t{2}})}, {true, true}, {"1,,7", "2,,7"}},
      {"a column without a default is null where left out",
       {ny.statement({int64_t{1}, int64_t{10}}), n.statement({int64_t{2}}), ny.statement({int64_t{3}, int64_t{30}})},
       {true, true, true},
       {"1,10,7", "2,,7", "3,30,7"}},
      {"a column with a default keeps it where left out, beside rows that set it",
       {nyd.statement({int64_t{1}, int64_t{10}, int64_t{5}}), ny.statement({int64_t{2}, int64_t{20}}),
        n.statement({int64_t{3}}), nyd.statement({int64_t{4}, null, int64_t{6}})},
       {true, true, true, true},
       {"1,10,5", "2,20,7", "3,,7", "4,,6"}},
      {"a refused row is dropped alone",
       {ny.statement({int64_t{1}, int64_t{10}}), n.statement({null}), ny.statement({int64_t{3}, int64_t{30}})},
       {true, false, true},
       {"1,10,7", "3,30,7"}},
  };
  for (const Row& r : rows) {
    this->conn->execute({"delete from h", {}});
    Transaction t(*this->conn);
    EXPECT_EQ(this->conn->tryExecuteEach(r.in), r.stored) << r.name;
    t.commit();
    EXPECT_EQ(this->storedRows(), r.rows) << r.name;
  }
}

}  // namespace
}  // namespace gz::db
