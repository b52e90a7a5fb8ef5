// Writing many rows without waiting for the answer to each statement: what a
// connection to a database server offers so that an import pays one round
// trip per batch of rows instead of one per statement.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "db/statement.h"

namespace gz::db {

class Row;

class BulkWriting {
 public:
  virtual ~BulkWriting() = default;

  // True when new keys of `table`.`column` can be taken ahead from the
  // sequence that numbers it (a serial or identity column); false when the
  // column is numbered some other way, and each key must be read back from
  // its row. Looks the column up afresh; the other calls use what it found.
  virtual bool canReserveIds(std::string_view table, std::string_view column) = 0;
  // `count` keys taken from that sequence, in one round trip. Keys taken and
  // never used leave gaps, as any rolled-back insert does.
  virtual std::vector<int64_t> reserveIds(std::string_view table, std::string_view column, int count) = 0;
  // The insert of `row` into `table` with `keyColumn` set to `key` (a reserved one).
  virtual Statement insertWithId(std::string_view table, const Row& row, std::string_view keyColumn, int64_t key) = 0;

  // Runs the statements of a batch of rows in one go: the plain inserts of
  // one row (Statement::into) first, in the order their table and columns
  // first appear, those of one table and columns together as one bulk load
  // of the table; then every other statement, in its order. That is the
  // same as running them one by one as long as no insert needs a statement
  // other than an insert before it; callers put the inserts a later one
  // needs first. Throws DbError for the first
  // statement the database refuses; the open transaction must then be
  // rolled back to a savepoint set before the batch.
  virtual void executeBatch(const std::vector<Statement>& statements) = 0;
  // Runs the statements strictly in their order, still without waiting for
  // each answer, for a batch whose inserts must come after other statements
  // (a person's rows deleted before the rows that replace them). Throws as
  // executeBatch() does.
  virtual void executeInOrder(const std::vector<Statement>& statements) = 0;
};

// How executeBatch() runs a batch: the plain inserts into each table and
// columns as one bulk load, then the other statements. For the connections
// and their tests.
struct BatchPlan {
  struct Load {
    InsertInto into;  // rows with fewer values than its columns are padded with null
    std::vector<const Statement*> rows;
  };
  std::vector<Load> loads;  // in the order their table and columns first appear
  std::vector<const Statement*> others;
};
// Inserts into one table whose column lists differ only by trailing columns
// go into one load when `nullByDefault(table, column)` says that each of
// those columns is null where an insert leaves it out: the rows keep their
// order in the table (the ids the table numbers them with), the shorter rows
// padded with null. The statements must outlive the plan.
using NullByDefault = std::function<bool(std::string_view table, std::string_view column)>;
BatchPlan planBatch(const std::vector<Statement>& statements, const NullByDefault& nullByDefault = {});

// One row of bound values (UTF-8 texts) as a line of PostgreSQL's COPY text
// format: tab between values, \N for null, backslash escapes.
// With `columns` beyond the values, the rest are null.
void appendCopyLine(std::string& out, const std::vector<Value>& values, std::size_t columns = 0);

}  // namespace gz::db
