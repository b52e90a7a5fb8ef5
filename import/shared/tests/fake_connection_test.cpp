// The fake connection under db::Transaction and db::Savepoint keeps and
// undoes writes as the real databases do (db/tests/transaction_test.cpp), so
// run tests on it say what a real run would store.
#include <gtest/gtest.h>

#include <stdexcept>

#include "db/connection.h"
#include "import/shared/tests/fakes.h"

namespace gz::imp {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

db::Statement insert(const char* x) { return {std::string("insert ") + x, {}}; }

TEST(FakeConnectionModel, TransactionsKeepOnlyWhatIsCommittedAndEndOnce) {
  FakeConnection c;
  {
    db::Transaction t(c);
    c.execute(insert("1"));
    t.commit();
    EXPECT_THROW(t.commit(), std::logic_error);
  }
  {
    db::Transaction t(c);
    c.execute(insert("2"));
  }
  try {
    db::Transaction t(c);
    c.execute(insert("3"));
    throw std::runtime_error("failure half way");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(c.committed, Lines{"insert 1"});
  EXPECT_FALSE(c.inTransaction);
}

TEST(FakeConnectionModel, SavepointsUndoTheirWorkUnlessReleased) {
  FakeConnection c;
  {
    db::Transaction t(c);
    c.execute(insert("1"));
    {
      db::Savepoint kept(c, "kept");
      c.execute(insert("2"));
      kept.release();
      EXPECT_THROW(kept.release(), std::logic_error);
    }
    {
      db::Savepoint dropped(c, "dropped");
      c.execute(insert("3"));
    }
    {
      db::Savepoint outer(c, "sp_outer");
      c.execute(insert("4"));
      db::Savepoint inner(c, "sp_inner");
      c.execute(insert("5"));
      inner.release();
      outer.rollback();
    }
    c.execute(insert("6"));
    t.commit();
  }
  EXPECT_EQ(c.committed, (Lines{"insert 1", "insert 2", "insert 6"}));
}

}  // namespace
}  // namespace gz::imp
