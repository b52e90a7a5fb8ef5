#include "db/bulk_writing.h"
#include "db/connection.h"
#include "db/payroll/person_columns.h"
#include "import/run/bulk_writer.h"
#include "import/run/run_stages.h"
#include "import/writers/batch_writer.h"

namespace gz::imp {
namespace {

// Rows kept before they are sent together: each send waits for the server
// about seven times (its savepoint, its keys, a copy per table, the release),
// which on a link of 1 ms each way costs a tenth more time at 1,000 rows a
// send and a third of that at 2,500. Their statements come to about 1.5 MB,
// and a refused send costs no more than that many rows written again one by one.
constexpr int kRowsPerSend = 2500;

// SQLite and Access undo a refused statement by themselves without ending
// the transaction, and the person insert is a row's first write, so a
// refused person leaves nothing to undo; there a savepoint per row would only
// cost time (about a fifth of a large import on SQLite; Access has no
// savepoints at all). PostgreSQL abandons the whole transaction on a refused
// statement and needs the row's savepoint to go on.
bool needsRowSavepoints(const db::Connection& conn) { return conn.dialectKind() == db::DialectKind::Postgres; }

// True when the persons' ids can be taken ahead; a connection that cannot
// even answer that is left to fail at its first write.
bool canNumberAhead(db::BulkWriting& bulk) {
  try {
    return bulk.canReserveIds(db::person::kTable, db::person::kId);
  } catch (const db::DbError&) {
    return false;
  }
}

}  // namespace

std::unique_ptr<RowWriter> makeRowWriter(db::Connection& conn, const ImportRequest& request, RowReports reports,
                                         const RowsInput& rows) {
  if (db::BulkWriting* bulk = conn.bulkWriting(); bulk && canNumberAhead(*bulk))
    return std::make_unique<BulkWriter>(conn, *bulk, reports, rows, request.commitEveryRows, request.commitEvery,
                                        kRowsPerSend);
  // An updated person must come out of a failed row as it was: its update
  // is undone with the row wherever the database can.
  const bool updateSavepoints = rows.update && conn.dialectKind() != db::DialectKind::Jet;
  return std::make_unique<BatchWriter>(conn, reports, request.commitEveryRows, request.commitEvery,
                                       needsRowSavepoints(conn) || updateSavepoints);
}

}  // namespace gz::imp
