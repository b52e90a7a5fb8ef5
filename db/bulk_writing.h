// Writing many rows without waiting for the answer to each statement: what a
// connection to a database server offers so that an import pays one round
// trip per batch of rows instead of one per statement.
#pragma once

#include <cstdint>
#include <vector>

#include "db/dialect.h"

namespace gz::db {

class PersonRecord;

class BulkWriting {
 public:
  virtual ~BulkWriting() = default;

  // True when new person ids can be taken ahead from the sequence that
  // numbers ryjbxx.id (a serial or identity column); false when the column
  // is numbered some other way, and each id must be read back from its row.
  virtual bool canReservePersonIds() = 0;
  // `count` ids taken from that sequence, in one round trip. Ids taken and
  // never used leave gaps, as any rolled-back insert does.
  virtual std::vector<int64_t> reservePersonIds(int count) = 0;
  // The insert of a person row with the id given (a reserved one).
  virtual Statement personInsertWithId(const PersonRecord& r, int64_t id) = 0;

  // Runs the statements of a batch of rows in one go: the inserts first, in
  // the order their texts first appear, those of one text merged into
  // multi-row inserts; then every other statement, in its order. That is
  // the same as running them one by one as long as no insert needs a
  // statement other than an insert before it; callers put the inserts a
  // later text needs (the persons) first. Throws DbError for the first
  // statement the database refuses; the open transaction must then be
  // rolled back to a savepoint set before the batch.
  virtual void executeBatch(const std::vector<Statement>& statements) = 0;
};

// The statements of executeBatch() as they are sent: the inserts of one text
// merged, up to `maxValues` bound values per statement, then the others. For
// the connections and their tests.
std::vector<Statement> mergeBatch(const std::vector<Statement>& statements, std::size_t maxValues);

}  // namespace gz::db
