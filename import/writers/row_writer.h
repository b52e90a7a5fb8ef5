// Where the data rows of a run are written, grouped into transactions. The
// rows stage writes each row between beginRow() and endRow(); commits happen
// only between rows, so no half row is ever committed. BatchWriter waits for
// the database's answer to every statement; BulkWriter sends batches of rows
// at once where the connection offers that (db::BulkWriting).
//
// A row's outcome is final once the database has answered for all of it.
// The writer hands final outcomes to its RowSink, in sheet order: at once,
// or a batch of rows at a time.
#pragma once

namespace gz::db {
class Connection;
}

namespace gz::imp {

struct RowCarry;
struct RowOutcome;
class RowEvents;
class RowSink;
class RunJournal;
class TypedDateCounter;

// Where a writer reports the rows it settles.
struct RowReports {
  RowEvents& events;                      // what the rows' steps tell (the front end)
  RowSink& sink;                          // each row's final outcome
  TypedDateCounter* typedDates = nullptr; // the stored persons' dates read as typed, when counted
  RunJournal* journal = nullptr;          // told of each person stored and each commit, when the run keeps one
};

class RowWriter {
 public:
  virtual ~RowWriter() = default;

  // The connection the steps of a row write through.
  virtual db::Connection& connection() = 0;
  // Where the steps of the row being written tell what happened, and count
  // its dates read as typed (null when they are not counted).
  virtual RowEvents& rowEvents() = 0;
  virtual TypedDateCounter* rowTypedDates() = 0;
  // Opens a batch when none is open (the overwrite deletion joins the first
  // batch this way, so the old people are never gone without the new).
  virtual void openBatch() = 0;
  // `before` is what the run carries into the row, kept so that the row can
  // be written again from the sheet.
  virtual void beginRow(const RowCarry& before) = 0;
  // Keeps the row's writes when it was stored, else undoes them.
  virtual void endRow(const RowOutcome& row) = 0;
  // Commits when the batch is full or old enough. Only between rows.
  virtual void commitIfDue() = 0;
  // Settles every finished row (its outcome reaches the sink) without committing.
  virtual void settle() = 0;
  // Settles every finished row, then commits.
  virtual void commit() = 0;
  // Undoes everything not yet committed; rows not yet settled never reach the sink.
  virtual void rollback() = 0;
  // After a failure: undoes the unfinished row, then commits the rows
  // finished before it. False when the unfinished row could only be undone
  // with its whole batch. Throws when the database refuses even that.
  virtual bool salvage() = 0;

  virtual int personsCommitted() const = 0;
  virtual int historyRowsCommitted() const = 0;
  // Of the persons committed, those updated in place.
  virtual int personsUpdatedCommitted() const = 0;
  // Rows handled (stored or failed) whose writes are committed, counted from
  // the run's first row: the import continues after them.
  virtual int rowsSettled() const = 0;
};

}  // namespace gz::imp
