#include "journal/take_back.h"

#include <algorithm>
#include <map>
#include <memory>
#include <variant>
#include <vector>

#include "db/bulk_writing.h"
#include "db/payroll/dialect.h"
#include "db/statement.h"
#include "import/run/run_lock.h"
#include "journal/journal_error.h"
#include "journal/row_digest.h"
#include "journal/rows.h"
#include "text/gb18030.h"

namespace gz::journal {

namespace {

bool overlaps(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  return a.compare(0, n, b, 0, n) == 0;
}

std::optional<db::Row> current(db::Connection& conn, const std::string& table, const db::Row& key) {
  std::vector<db::Row> rows = readRows(conn, db::dialectOf(conn).wholeRows().selectMatching(table, key));
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

const db::Row& imageOf(const Entry& e) { return e.change == Change::Insert ? e.after : e.before; }

[[noreturn]] void changedSince(const RunInfo& run, const Entry& e, const std::string& what) {
  const db::Row key = rowKey(imageOf(e));
  throw JournalError(JournalFault::ChangedSince, "第 " + std::to_string(run.number) + " 次导入之后, 表 " + e.table +
                                                     " 中 " + text::gb18030ToUtf8(keyText(key)) + " 的行" + what +
                                                     ", 不能撤销; 数据库没有改动");
}

// Whether one entry is to be undone: not when its batch never reached the
// database. Refuses when the row is not as the run left it; `now` is the
// row as the database holds it, `columns` its group's.
bool toUndo(const RunInfo& run, const Entry& e, const std::optional<db::Row>& now, bool sealed,
            const std::vector<std::string>& columns) {
  if (e.change == Change::Delete) {
    if (!now) return true;
    if (!sealed && !firstDifference(*now, e.before)) return false;
    changedSince(run, e, "已被重新占用");
  }
  if (!now) {
    if (!sealed && e.change == Change::Insert) return false;
    changedSince(run, e, "已被删除");
  }
  // Kept as a digest, the row cannot say which column changed.
  if (e.digest) {
    if (rowDigest(*now, columns) != *e.digest) changedSince(run, e, "已被改动");
    return true;
  }
  if (const std::optional<std::string> column = firstDifference(*now, e.after)) {
    if (!sealed && e.change == Change::Update && !firstDifference(*now, e.before)) return false;
    changedSince(run, e, "已被改动 (列 " + *column + ")");
  }
  return true;
}

// Rows read and undone at a time: one read of their keys, one delete.
constexpr std::size_t kRowsAtATime = 1000;

// The row's key when it is a whole-number `id` (see rowKey()).
std::optional<int64_t> idOf(const db::Row& row) {
  for (const auto& [name, v] : row.columns())
    if (name == "id") {
      const int64_t* id = std::get_if<int64_t>(&v);
      return id ? std::optional<int64_t>(*id) : std::nullopt;
    }
  return std::nullopt;
}

// Calls `visit(entry, now)` for each of `entries` with the row the database
// holds under its key now: rows with an id are read a thousand at a time,
// others one by one.
template <typename Visit>
void withCurrentRows(db::Connection& conn, const std::vector<Entry>& entries, Visit visit) {
  for (std::size_t at = 0; at < entries.size(); at += kRowsAtATime) {
    const std::size_t end = std::min(entries.size(), at + kRowsAtATime);
    std::vector<int64_t> ids;
    for (std::size_t i = at; i < end; ++i)
      if (const std::optional<int64_t> id = idOf(imageOf(entries[i]))) ids.push_back(*id);
    std::map<int64_t, db::Row> byId;
    if (!ids.empty())
      for (db::Row& r : readRows(conn, db::dialectOf(conn).wholeRows().selectIn(entries[at].table, "id", ids)))
        if (const std::optional<int64_t> id = idOf(r)) byId.emplace(*id, std::move(r));
    for (std::size_t i = at; i < end; ++i) {
      const std::optional<int64_t> id = idOf(imageOf(entries[i]));
      if (!id) {
        visit(entries[i], current(conn, entries[i].table, rowKey(imageOf(entries[i]))));
        continue;
      }
      const auto found = byId.find(*id);
      visit(entries[i], found == byId.end() ? std::nullopt : std::optional<db::Row>(found->second));
    }
  }
}

// Runs a group's statements other than the deletes: on a server without an
// answer awaited for each, rows put back as one bulk load (which keeps their
// keys, also in identity columns); elsewhere rows put back many to an insert.
// A refusal fails the transaction whole, with the database's own reason.
void runAll(db::Connection& conn, const std::vector<db::Statement>& statements) {
  if (statements.empty()) return;
  if (db::BulkWriting* bulk = conn.bulkWriting()) return bulk->executeBatch(statements);
  const std::vector<bool> done = conn.tryExecuteEach(statements);
  for (std::size_t i = 0; i < statements.size(); ++i)
    if (!done[i]) conn.execute(statements[i]);
}

// Checks the rows of one group against the database and undoes them, the
// inserted ones deleted a thousand to a statement. The number of rows undone.
int undoGroup(db::Connection& conn, const RunInfo& run, const RowGroup& group, bool sealed) {
  const db::WholeRows how = db::dialectOf(conn).wholeRows();
  // Rows put back are plain inserts of the group's columns, loaded together
  // where values are bound rather than written into the text.
  const auto putBack = std::make_shared<const db::InsertInto>(db::InsertInto{group.table, group.columns});
  std::vector<db::Statement> statements;
  std::vector<int64_t> inserted;  // keys of inserted rows to delete
  withCurrentRows(conn, entriesOf(group), [&](const Entry& e, const std::optional<db::Row>& now) {
    if (!toUndo(run, e, now, sealed, group.columns)) return;
    const std::optional<int64_t> id = idOf(imageOf(e));
    if (e.change == Change::Insert && id) inserted.push_back(*id);
    else if (e.change == Change::Insert) statements.push_back(how.deleteMatching(e.table, rowKey(e.after)));
    else if (e.change == Change::Update) statements.push_back(how.updateMatching(e.table, e.before, rowKey(e.before)));
    else {
      db::Statement s = how.insertWhole(e.table, e.before);
      if (!how.inlineValues) s.into = putBack;
      statements.push_back(std::move(s));
    }
  });
  for (std::size_t at = 0; at < inserted.size(); at += kRowsAtATime)
    conn.execute(
        how.deleteIn(group.table, "id",
                     {inserted.begin() + static_cast<std::ptrdiff_t>(at),
                      inserted.begin() + static_cast<std::ptrdiff_t>(std::min(inserted.size(), at + kRowsAtATime))}));
  runAll(conn, statements);
  return static_cast<int>(inserted.size() + statements.size());
}

// True when the database holds every row as it was before the run.
bool alreadyTakenBack(db::Connection& conn, JournalFile& file, int64_t run, const std::vector<Batch>& batches) {
  bool asBefore = true;
  for (const Batch& b : batches)
    for (const RowGroup& g : file.groups(run, b.number))
      withCurrentRows(conn, entriesOf(g), [&](const Entry& e, const std::optional<db::Row>& now) {
        if (e.change == Change::Insert ? now.has_value() : (!now || firstDifference(*now, e.before))) asBefore = false;
      });
  return asBefore;
}

}  // namespace

RunInfo chooseRun(JournalFile& file, const std::string& database, std::optional<int64_t> number) {
  const std::vector<RunInfo> runs = file.runs(database);
  const auto chosen = std::find_if(runs.begin(), runs.end(), [&](const RunInfo& r) {
    return number ? r.number == *number : r.state != RunState::TakenBack;
  });
  if (chosen == runs.end())
    throw JournalError(JournalFault::NoSuchRun, number ? "没有第 " + std::to_string(*number) + " 次导入的记录"
                                                       : std::string("没有可以撤销的导入"));
  if (chosen->state == RunState::TakenBack)
    throw JournalError(JournalFault::AlreadyTakenBack, "第 " + std::to_string(chosen->number) + " 次导入已经撤销过了");
  for (auto later = runs.begin(); later != chosen; ++later)
    if (later->state != RunState::TakenBack && overlaps(later->department, chosen->department))
      throw JournalError(JournalFault::LaterRunFirst,
                         "请先撤销其后导入同一部门的第 " + std::to_string(later->number) + " 次导入");
  return *chosen;
}

TakenBack takeBack(JournalFile& file, db::Connection& conn, const RunInfo& run) {
  const std::unique_ptr<imp::DepartmentLock> lock = imp::departmentLock(conn, run.department);
  if (lock && !lock->tryTake())
    throw JournalError(JournalFault::RunInProgress, "另一次导入正在写入这个部门, 请稍后再撤销");
  const std::vector<Batch> batches = file.batches(run.key);
  // Each group is checked and undone in turn, last first, inside one
  // transaction: what is checked is what is changed, a row changed twice by
  // the run is checked against how the later change left it, and a refusal
  // anywhere undoes the whole transaction.
  db::Transaction t(conn);
  int changed = 0;
  try {
    for (auto b = batches.rbegin(); b != batches.rend(); ++b) {
      const std::vector<RowGroup> groups = file.groups(run.key, b->number);
      for (auto g = groups.rbegin(); g != groups.rend(); ++g) changed += undoGroup(conn, run, *g, b->sealed);
    }
  } catch (const JournalError&) {
    t.rollback();
    if (run.state != RunState::TakingBack || !alreadyTakenBack(conn, file, run.key, batches)) throw;
    file.setState(run.key, RunState::TakenBack);
    return {run, 0, true};
  }
  // Noted first: an attempt that ends between the commit and the last note
  // is recognised by the next one, which finds the database taken back.
  file.setState(run.key, RunState::TakingBack);
  t.commit();
  file.setState(run.key, RunState::TakenBack);
  return {run, changed, false};
}

}  // namespace gz::journal
