#include "import/run/bulk_writer.h"

#include <algorithm>
#include <iterator>

#include "db/bulk_writing.h"
#include "db/payroll/dialect.h"
#include "import/run/run_stages.h"
#include "import/shared/stored_values.h"
#include "import/writers/run_journal.h"

namespace gz::imp {

namespace {

constexpr const char* kSendSavepoint = "gzsend";
constexpr const char* kRowSavepoint = "gzrow";

}  // namespace

// The connection and front end the steps of a row see: inside a row it keeps
// their statements and what they tell; outside a row (the overwrite
// deletion) it passes everything straight on, once no kept row is waiting.
class BulkWriter::Keeper final : public db::Connection, public db::DialectSource, public RowEvents {
 public:
  explicit Keeper(BulkWriter& w) : w_(w) {}

  const db::Dialect& dialect() const override { return db::dialectOf(w_.conn_); }
  db::DialectKind dialectKind() const override { return w_.conn_.dialectKind(); }
  std::string describe() const override { return w_.conn_.describe(); }
  void execute(const db::Statement& s) override { direct().execute(s); }
  bool tryExecute(const db::Statement& s) override {
    if (!w_.current_) return direct().tryExecute(s);
    w_.current_->history.push_back(s);
    return true;
  }
  std::unique_ptr<db::ResultSet> query(const db::Statement& s) override { return direct().query(s); }
  // Inside a row only the person is inserted: its id is taken ahead from
  // the id column's sequence and its insert kept.
  int64_t insertReturningKey(std::string_view table, const db::Row& row, std::string_view keyColumn) override {
    if (!w_.current_) return direct().insertReturningKey(table, row, keyColumn);
    if (w_.reservedIds_.empty()) {
      w_.reservedIds_ = w_.bulk_.reserveIds(table, keyColumn, w_.rowsPerSend_);
      std::reverse(w_.reservedIds_.begin(), w_.reservedIds_.end());  // handed out from the back, lowest first
    }
    const int64_t id = w_.reservedIds_.back();
    w_.reservedIds_.pop_back();
    w_.current_->person = w_.bulk_.insertWithId(table, row, keyColumn, id);
    return id;
  }
  void setBusyWait(const db::BusyWait& wait) override { w_.conn_.setBusyWait(wait); }

  void rowStarted(int32_t row, std::string_view personName) override {
    if (!w_.current_) return w_.reports_.events.rowStarted(row, personName);
    w_.current_->started = true;
  }
  void lineWithoutCode(HistoryKind kind, std::string_view personName, std::string_view name) override {
    if (!w_.current_) return w_.reports_.events.lineWithoutCode(kind, personName, name);
    w_.current_->lines.push_back({kind, std::string(personName), std::string(name)});
  }

 private:
  void begin() override { beginOn(direct()); }
  void commit() override { commitOn(direct()); }
  void rollback() override { rollbackOn(direct()); }
  void savepoint(const char* name) override { savepointOn(direct(), name); }
  void releaseSavepoint(const char* name) override { releaseSavepointOn(direct(), name); }
  void rollbackToSavepoint(const char* name) override { rollbackToSavepointOn(direct(), name); }

  // The real connection, for work that must run now: only while no kept
  // row waits to be sent, so nothing runs ahead of statements kept before it.
  db::Connection& direct() {
    if (w_.current_ || !w_.kept_.empty())
      throw db::DbError(db::DbFault::Misuse, w_.conn_.describe() + ": 成批写入时, 行内语句只能逐条保留, 不能立即执行");
    return w_.conn_;
  }

  BulkWriter& w_;
};

BulkWriter::BulkWriter(db::Connection& conn, db::BulkWriting& bulk, RowReports reports, const RowsInput& rows,
                       int rowsPerBatch, std::chrono::milliseconds interval, int rowsPerSend)
    : conn_(conn),
      bulk_(bulk),
      reports_(reports),
      rows_(rows),
      rowsPerBatch_(std::max(rowsPerBatch, 1)),
      interval_(interval),
      rowsPerSend_(std::max(rowsPerSend, 1)),
      keeper_(std::make_unique<Keeper>(*this)) {}

BulkWriter::~BulkWriter() = default;

db::Connection& BulkWriter::connection() { return *keeper_; }
RowEvents& BulkWriter::rowEvents() { return *keeper_; }
TypedDateCounter* BulkWriter::rowTypedDates() {
  return reports_.typedDates && current_ ? &current_->typedDates : reports_.typedDates;
}

void BulkWriter::openBatch() {
  if (batch_) return;
  batch_.emplace(conn_);
  batchStart_ = std::chrono::steady_clock::now();
}

void BulkWriter::beginRow(const RowCarry& before) {
  openBatch();
  // Nothing of the row runs before its send: the journal reads the people it
  // changes then, all of the send's together.
  if (reports_.journal) reports_.journal->deferChangeReads(true);
  current_.emplace();
  current_->carryBefore = before;
}

void BulkWriter::endRow(const RowOutcome& row) {
  KeptRow done = std::move(*current_);
  current_.reset();
  done.outcome = row;
  if (!row.stored) {
    // Refused before its person was written: nothing of it may be stored.
    done.person.reset();
    done.history.clear();
  }
  kept_.push_back(std::move(done));
}

void BulkWriter::commitIfDue() {
  if (static_cast<int>(kept_.size()) >= rowsPerSend_) send();
  if (!batch_) return;
  const int rows = tally_.rows + static_cast<int>(kept_.size());
  if (rows >= rowsPerBatch_ || std::chrono::steady_clock::now() - batchStart_ >= interval_) commit();
}

void BulkWriter::send() {
  if (kept_.empty()) return;
  openBatch();
  // The persons first, so every history row finds its person in place. The
  // statements move out of the kept rows (a refused batch is imported again
  // from the sheet, not from them) into a list that keeps its room from one
  // send to the next.
  sending_.clear();
  for (KeptRow& row : kept_)
    if (row.person) sending_.push_back(std::move(*row.person));
  for (KeptRow& row : kept_) std::move(row.history.begin(), row.history.end(), std::back_inserter(sending_));
  if (reports_.journal) reports_.journal->writesDue();
  bool refused = false;
  {
    db::Savepoint beforeSend(conn_, kSendSavepoint);
    try {
      // An update deletes a person's rows before the rows that replace them:
      // its statements go in their order, without bulk loads.
      if (rows_.update) bulk_.executeInOrder(sending_);
      else bulk_.executeBatch(sending_);
      beforeSend.release();
    } catch (const db::DbError& e) {
      // A busy or lost database ends the run; replaying the rows would only wait again.
      if (db::endsTheWork(e.fault())) throw;
      beforeSend.rollback();
      refused = true;
    }
  }
  if (refused) importAgainRowByRow();
  else
    for (KeptRow& row : kept_) deliver(row);
  kept_.clear();
}

void BulkWriter::importAgainRowByRow() {
  // The steps run again on the connection itself and tell the front end
  // directly; what they told the first time is dropped. Their writes run at
  // once, so the journal reads a person it is told of at once too.
  if (reports_.journal) reports_.journal->deferChangeReads(false);
  StoredValues stored;
  const StepContext ctx{rows_.book, rows_.columns,   rows_.codes,
                        conn_,      reports_.events, rows_.keepValues ? &stored : nullptr};
  db::PersonRecord record;
  for (KeptRow& kept : kept_) {
    RowCarry carry = kept.carryBefore;
    db::Savepoint rowWrites(conn_, kRowSavepoint);
    const RowOutcome o = importRow(ctx, kept.outcome.row, kept.outcome.personName, rows_.deptCode, carry, record,
                                   reports_.typedDates, rows_.update);
    if (o.stored) rowWrites.release();
    else rowWrites.rollback();
    settled(o);
  }
}

void BulkWriter::deliver(const KeptRow& row) {
  const RowOutcome& o = row.outcome;
  if (row.started) reports_.events.rowStarted(o.row, o.personName);
  if (o.stored) {
    for (const KeptRow::Line& l : row.lines) reports_.events.lineWithoutCode(l.kind, l.personName, l.name);
    if (reports_.typedDates) reports_.typedDates->add(row.typedDates);
  }
  settled(o);
}

void BulkWriter::settled(const RowOutcome& o) {
  if (o.stored && o.personId != 0 && !o.updated && reports_.journal) reports_.journal->personAdded(o.personId);
  tally_.settled(o);
  reports_.sink.rowDone(o);
}

void BulkWriter::settle() { send(); }

void BulkWriter::commit() {
  send();
  if (!batch_) return;
  commitBatch(batch_, tally_, reports_.journal);
}

void BulkWriter::rollback() {
  current_.reset();
  kept_.clear();
  tally_.discarded();
  if (reports_.journal) reports_.journal->rolledBack();
  rollBackBatch(batch_);
}

bool BulkWriter::salvage() {
  current_.reset();
  if (!batch_) return true;
  commit();
  return true;
}

}  // namespace gz::imp
