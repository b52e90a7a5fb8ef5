#include "journal/run_recorder.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <variant>

#include "db/payroll/dialect.h"
#include "db/payroll/person_columns.h"

namespace gz::journal {

namespace {

// Groups of deleted rows written down together while they are read (about 4 MB).
constexpr std::size_t kGroupsPerWrite = 16;
// Changed people whose rows are read and compared at a time.
constexpr std::size_t kPeoplePerDiff = 500;

bool sameKey(const TableRow& a, const TableRow& b) {
  return a.table == b.table && !firstDifference(rowKey(a.row), rowKey(b.row));
}

// What changed between a person's rows before and now: rows gone, rows
// changed (the person's own row always, so the person counts as updated),
// rows new.
void diffPerson(const std::vector<TableRow>& before, const std::vector<TableRow>& now, std::vector<Entry>& out) {
  for (const TableRow& b : before) {
    const auto it = std::find_if(now.begin(), now.end(), [&](const TableRow& n) { return sameKey(b, n); });
    if (it == now.end()) out.push_back({b.table, Change::Delete, b.row, {}});
    else if (b.table == db::person::kTable || firstDifference(b.row, it->row))
      out.push_back({b.table, Change::Update, b.row, it->row});
  }
  for (const TableRow& n : now)
    if (std::none_of(before.begin(), before.end(), [&](const TableRow& b) { return sameKey(b, n); }))
      out.push_back({n.table, Change::Insert, {}, n.row});
}

// The person a row belongs to: its own id in the person table, `mid` in the others.
std::optional<int64_t> ownerOf(const TableRow& r) {
  const char* column = r.table == db::person::kTable ? db::person::kId : "mid";
  for (const auto& [name, v] : r.row.columns()) {
    if (name != column) continue;
    if (const int64_t* i = std::get_if<int64_t>(&v)) return *i;
    if (const double* d = std::get_if<double>(&v)) return static_cast<int64_t>(*d);
  }
  return std::nullopt;
}

}  // namespace

RunRecorder::RunRecorder(JournalFile& file, db::Connection& conn, int64_t run) : file_(file), conn_(conn), run_(run) {
  std::vector<db::CapturedTable> tables{{db::person::kTable, db::person::kId, db::person::kId}};
  for (const char* table : db::person::kPerPersonTables) tables.push_back({table, db::person::kId, "mid"});
  capture_ = conn_.captureInserts(tables);
}

void RunRecorder::personChanging(int64_t personId) {
  if (before_.count(personId)) return;
  // Only an update changes people it did not add.
  if (before_.empty()) file_.setWay(run_, "update");
  before_[personId];  // known from now on; its rows are read before any write to them
  if (deferring_) changing_.push_back(personId);
  else readChanging({personId});
}

void RunRecorder::writesDue() {
  readChanging(changing_);
  changing_.clear();
}

void RunRecorder::readChanging(const std::vector<int64_t>& ids) {
  if (ids.empty()) return;
  for (TableRow& r : readPeopleRows(conn_, ids))
    if (const std::optional<int64_t> owner = ownerOf(r)) before_[*owner].push_back(std::move(r));
}

void RunRecorder::personAdded(int64_t personId) {
  // A person changed in place is stored again under its own id: its rows are
  // compared with how they were, not taken as new.
  if (!before_.count(personId)) added_.push_back(personId);
}

void RunRecorder::deletingDepartment(std::string_view deptCode) {
  const db::Dialect& dialect = db::dialectOf(conn_);
  if (const std::optional<db::Statement> lock = dialect.takeWriteLock()) conn_.execute(*lock);
  const std::vector<db::Statement> reads = dialect.selectRowsToDelete(deptCode);
  // Written down as they are read, a few groups at a time, so that a large
  // department's rows are never held in memory all at once.
  std::vector<RowGroup> pending;
  const auto flush = [&] {
    const auto written = static_cast<int64_t>(pending.size());
    file_.writeBatch(run_, batch_, std::move(pending), deletedEntries_);
    deletedEntries_ += written;
    pending.clear();
  };
  std::size_t i = 0;
  const auto read = [&](const char* table) {
    readGroups(conn_, reads.at(i++), table, Change::Delete, [&](RowGroup&& g) {
      pending.push_back(std::move(g));
      if (pending.size() >= kGroupsPerWrite) flush();
    });
  };
  for (const char* table : db::person::kPerPersonTables) read(table);
  read(db::person::kTable);
  flush();
}

void RunRecorder::addChanges(std::vector<RowGroup>& groups) {
  // A few hundred people at a time, so that their rows, read and compared as
  // whole rows, never fill the memory for a large batch.
  for (auto from = before_.begin(); from != before_.end();) {
    std::vector<int64_t> changed;
    auto to = from;
    for (; to != before_.end() && changed.size() < kPeoplePerDiff; ++to) changed.push_back(to->first);
    // Each row now, under the person it belongs to: one pass over them all.
    std::map<int64_t, std::vector<TableRow>> now;
    for (TableRow& n : readPeopleRows(conn_, changed))
      if (const std::optional<int64_t> owner = ownerOf(n)) now[*owner].push_back(std::move(n));
    std::vector<Entry> entries;
    for (; from != to; ++from) diffPerson(from->second, now[from->first], entries);
    // Each key comes once in a batch, so its rows are undone in any order:
    // those of one table and change go together.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      return std::tie(a.table, a.change) < std::tie(b.table, b.change);
    });
    for (const Entry& e : entries) addEntry(groups, e);
  }
}

// The rows of the people the batch added, as the database stores them: as
// captured while they were inserted, or where the database cannot hand them
// over (or rows of the table were also deleted or changed), read back, one
// read of the range of their ids per table so that the cost follows the
// batch, with an index on `mid` or without. Each row is kept as its key and
// a digest: taking the run back deletes it, and needs only to find it and to
// know whether it changed since.
void RunRecorder::addInserted(std::vector<RowGroup>& groups) {
  const std::vector<db::InsertCapture::Taken> captured =
      capture_ ? capture_->take() : std::vector<db::InsertCapture::Taken>{};
  if (added_.empty()) return;
  std::sort(added_.begin(), added_.end());
  const db::WholeRows how = db::dialectOf(conn_).wholeRows();
  const GroupSink keep = [&](RowGroup&& g) { groups.push_back(std::move(g)); };
  std::size_t at = 0;  // the table's place in the capture, in the order they were named
  const auto add = [&](const char* table, const char* owner) {
    const Owners owners{owner, added_};
    if (at < captured.size() && captured[at].complete) capturedGroups(table, captured[at], owners, keep);
    else
      readGroups(conn_, how.selectBetween(table, owner, added_.front(), added_.back()), table, Change::Insert, keep,
                 owners, true);
    ++at;
  };
  add(db::person::kTable, db::person::kId);
  for (const char* table : db::person::kPerPersonTables) add(table, "mid");
}

void RunRecorder::beforeCommit() {
  writesDue();
  std::vector<RowGroup> groups;
  addChanges(groups);
  addInserted(groups);
  if (groups.empty() && !written_ && deletedEntries_ == 0) return;
  // After the deleted rows, which are written already.
  file_.writeBatch(run_, batch_, std::move(groups), deletedEntries_);
  written_ = true;
}

void RunRecorder::committed() {
  if (written_ || deletedEntries_ != 0) {
    file_.sealBatch(run_, batch_);
    ++batch_;
  }
  rolledBack();
}

void RunRecorder::rolledBack() {
  written_ = false;
  deletedEntries_ = 0;
  added_.clear();
  before_.clear();
  changing_.clear();
}

}  // namespace gz::journal
