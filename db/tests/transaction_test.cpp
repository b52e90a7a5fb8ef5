// Transaction and Savepoint on every backend: what they keep, what they undo
// on each path out of a scope, and that each ends only once.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "db/connection.h"
#include "db/tests/backends.h"

namespace gz::db {
namespace {

template <typename Backend>
class TransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string skip;
    conn = backend.open(&skip);
    if (!conn) GTEST_SKIP() << skip;
    conn->execute({"create table t (x integer)", {}});
  }
  void TearDown() override {
    if (conn) backend.close(*conn);
  }

  void add(int64_t x) { conn->execute({"insert into t (x) values (?)", {x}}); }
  std::string rows() {
    std::string out;
    auto rs = conn->query({"select x from t order by x", {}});
    while (rs->next()) out += (out.empty() ? "" : ",") + std::to_string(rs->integer("x"));
    return out;
  }

  Backend backend;
  std::unique_ptr<Connection> conn;
};

TYPED_TEST_SUITE(TransactionTest, testing::AllBackends, testing::BackendNames);

TYPED_TEST(TransactionTest, KeepsOnlyWhatIsCommitted) {
  {
    Transaction t(*this->conn);
    this->add(1);
    t.commit();
    EXPECT_FALSE(t.active());
  }
  {
    Transaction t(*this->conn);
    this->add(2);
  }  // left without a commit
  try {
    Transaction t(*this->conn);
    this->add(3);
    throw std::runtime_error("failure half way");
  } catch (const std::runtime_error&) {
  }
  {
    Transaction t(*this->conn);
    this->add(4);
    t.rollback();
    EXPECT_FALSE(t.active());
  }
  EXPECT_EQ(this->rows(), "1");
}

TYPED_TEST(TransactionTest, EndsOnlyOnce) {
  Transaction t(*this->conn);
  this->add(1);
  t.commit();
  EXPECT_THROW(t.commit(), std::logic_error);
  EXPECT_THROW(t.rollback(), std::logic_error);
  EXPECT_EQ(this->rows(), "1");  // the second commit touched nothing
  Transaction u(*this->conn);
  u.rollback();
  EXPECT_THROW(u.commit(), std::logic_error);
}

TYPED_TEST(TransactionTest, SavepointUndoesItsWorkUnlessReleased) {
  {
    Transaction t(*this->conn);
    this->add(1);
    {
      Savepoint kept(*this->conn, "kept");
      this->add(2);
      kept.release();
    }
    {
      Savepoint dropped(*this->conn, "dropped");
      this->add(3);
    }  // left without a release
    try {
      Savepoint failed(*this->conn, "failed");
      this->add(4);
      throw std::runtime_error("failure half way");
    } catch (const std::runtime_error&) {
    }
    {
      Savepoint undone(*this->conn, "undone");
      this->add(5);
      undone.rollback();
      EXPECT_FALSE(undone.active());
    }
    this->add(6);  // the transaction goes on after every undone savepoint
    t.commit();
  }
  EXPECT_EQ(this->rows(), "1,2,6");
}

TYPED_TEST(TransactionTest, SavepointsNestAndEndOnlyOnce) {
  Transaction t(*this->conn);
  Savepoint outer(*this->conn, "sp_outer");
  this->add(1);
  {
    Savepoint inner(*this->conn, "sp_inner");
    this->add(2);
    inner.release();
    EXPECT_THROW(inner.release(), std::logic_error);
    EXPECT_THROW(inner.rollback(), std::logic_error);
  }
  outer.rollback();  // takes the released inner work with it
  EXPECT_THROW(outer.rollback(), std::logic_error);
  this->add(3);
  t.commit();
  EXPECT_EQ(this->rows(), "3");
}

}  // namespace
}  // namespace gz::db
