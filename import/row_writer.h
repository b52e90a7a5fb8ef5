// Where the data rows of a run are written, grouped into transactions. The
// rows stage writes each row between beginRow() and endRow(); commits happen
// only between rows, so no half row is ever committed. BatchWriter is the
// writer for every database; another one can write in its own way (bigger
// batches, a bulk path) behind the same calls.
#pragma once

namespace gz::db {
class Connection;
}

namespace gz::imp {

struct RowOutcome;

class RowWriter {
 public:
  virtual ~RowWriter() = default;

  // The connection the steps of a row write through.
  virtual db::Connection& connection() = 0;
  // Opens a batch when none is open (the overwrite deletion joins the first
  // batch this way, so the old people are never gone without the new).
  virtual void openBatch() = 0;
  virtual void beginRow() = 0;
  // Keeps the row's writes when it was stored, else undoes them.
  virtual void endRow(const RowOutcome& row) = 0;
  // Commits when the batch is full or old enough. Only between rows.
  virtual void commitIfDue() = 0;
  virtual void commit() = 0;
  // Undoes everything not yet committed.
  virtual void rollback() = 0;
  // After a failure: undoes the unfinished row, then commits the rows
  // finished before it. False when the unfinished row could only be undone
  // with its whole batch. Throws when the database refuses even that.
  virtual bool salvage() = 0;

  virtual int personsCommitted() const = 0;
  virtual int historyRowsCommitted() const = 0;
  // Rows handled (stored or failed) whose writes are committed, counted from
  // the run's first row: the import continues after them.
  virtual int rowsSettled() const = 0;
};

}  // namespace gz::imp
