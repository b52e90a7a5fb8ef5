// Writes the rows of an import in batches sent at once, for a database
// server where waiting for the answer to every statement would cost far more
// than the statements (db::BulkWriting).
//
// The steps of a row write through a connection that only keeps their
// statements: each new person gets an id taken ahead from the id column's
// sequence, so the row's history statements can name it before anything is
// sent. Every thousand rows or so the kept statements go out together under
// a savepoint. When the database refuses any of them, the batch is rolled
// back to that savepoint and its rows are imported again from the sheet, one
// by one, each row under a savepoint of its own and each statement waiting
// for its answer, exactly as BatchWriter writes them: a refused person is not
// stored and is reported with its row, a refused history line is dropped
// alone. Only then are the rows' outcomes final; what their steps told the
// front end is passed on with them.
//
// Finished rows are committed in batches by count or by time, as BatchWriter
// does; a failure before the rows are sent loses nothing but unsent rows of
// the run's own.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "import/shared/frontend.h"
#include "import/shared/outcome.h"
#include "import/shared/typed_date_counter.h"
#include "import/steps/person_step.h"
#include "import/writers/batch_tally.h"
#include "import/writers/row_writer.h"

namespace gz::db {
class BulkWriting;
}

namespace gz::imp {

struct RowsInput;

// What the steps of one row wrote and told, kept until the row is settled.
struct KeptRow {
  RowOutcome outcome;
  RowCarry carryBefore;                 // to import the row again
  bool started = false;                 // the row's start was told
  std::optional<db::Statement> person;  // the person's insert, when the row got that far
  std::vector<db::Statement> history;   // the row's other statements, in order
  struct Line {
    HistoryKind kind;
    std::string personName, name;
  };
  std::vector<Line> lines;  // lines without a code, told only when the person is stored
  TypedDateCounter typedDates;
};

class BulkWriter final : public RowWriter {
 public:
  // `bulk` is `conn`'s, and must be able to reserve person ids. `rows` is
  // where the rows are read from again after a refusal.
  BulkWriter(db::Connection& conn, db::BulkWriting& bulk, RowReports reports, const RowsInput& rows, int rowsPerBatch,
             std::chrono::milliseconds interval, int rowsPerSend);
  ~BulkWriter() override;
  BulkWriter(const BulkWriter&) = delete;
  BulkWriter& operator=(const BulkWriter&) = delete;

  db::Connection& connection() override;
  RowEvents& rowEvents() override;
  TypedDateCounter* rowTypedDates() override;
  void openBatch() override;
  void beginRow(const RowCarry& before) override;
  void endRow(const RowOutcome& row) override;
  // Sends the kept rows when enough are waiting, and commits when the batch
  // is full or old enough.
  void commitIfDue() override;
  void settle() override;
  void commit() override;
  void rollback() override;
  // The unfinished row sent nothing yet: it is dropped, and the rows before
  // it are sent and committed. Throws when the database refuses that.
  bool salvage() override;

  int personsCommitted() const override { return tally_.personsCommitted; }
  int historyRowsCommitted() const override { return tally_.historyCommitted; }
  int personsUpdatedCommitted() const override { return tally_.updatedCommitted; }
  int rowsSettled() const override { return tally_.rowsCommitted; }

 private:
  class Keeper;

  // Sends the kept rows and settles them; after a refusal, imports them again row by row.
  void send();
  void importAgainRowByRow();
  // Passes on a row sent as kept: what its steps told, then its outcome.
  void deliver(const KeptRow& row);
  void settled(const RowOutcome& o);

  db::Connection& conn_;
  db::BulkWriting& bulk_;
  RowReports reports_;
  const RowsInput& rows_;
  const int rowsPerBatch_;
  const std::chrono::milliseconds interval_;
  const int rowsPerSend_;
  std::unique_ptr<Keeper> keeper_;
  std::chrono::steady_clock::time_point batchStart_;
  std::optional<db::Transaction> batch_;
  std::vector<KeptRow> kept_;          // finished rows not yet sent
  std::vector<db::Statement> sending_;  // the statements of the rows being sent
  std::optional<KeptRow> current_;     // the row being written
  std::vector<int64_t> reservedIds_;   // ids taken ahead, used from the back
  BatchTally tally_;  // the rows settled, in the open batch and committed
};

}  // namespace gz::imp
