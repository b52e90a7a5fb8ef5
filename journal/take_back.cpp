#include "journal/take_back.h"

#include <algorithm>
#include <vector>

#include "db/payroll/dialect.h"
#include "import/run_lock.h"
#include "journal/journal_error.h"
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

[[noreturn]] void changedSince(const RunInfo& run, const Entry& e, const db::Row& key, const std::string& what) {
  throw JournalError(JournalFault::ChangedSince, "第 " + std::to_string(run.number) + " 次导入之后, 表 " + e.table +
                                                     " 中 " + text::gb18030ToUtf8(keyText(key)) + " 的行" + what +
                                                     ", 不能撤销; 数据库没有改动");
}

// The statement that undoes one entry, or nullopt when nothing is to be
// undone (a batch the database never committed). Refuses when the row is not
// as the run left it.
std::optional<db::Statement> undoEntry(db::Connection& conn, const RunInfo& run, const Entry& e, bool sealed) {
  const db::WholeRows how = db::dialectOf(conn).wholeRows();
  const db::Row& image = e.change == Change::Insert ? e.after : e.before;
  const db::Row key = rowKey(image);
  const std::optional<db::Row> now = current(conn, e.table, key);
  if (e.change == Change::Delete) {
    if (!now) return how.insertWhole(e.table, e.before);
    if (!sealed && !firstDifference(*now, e.before)) return std::nullopt;
    changedSince(run, e, key, "已被重新占用");
  }
  if (!now) {
    if (!sealed && e.change == Change::Insert) return std::nullopt;
    changedSince(run, e, key, "已被删除");
  }
  if (const std::optional<std::string> column = firstDifference(*now, e.after)) {
    if (!sealed && e.change == Change::Update && !firstDifference(*now, e.before)) return std::nullopt;
    changedSince(run, e, key, "已被改动 (列 " + *column + ")");
  }
  if (e.change == Change::Insert) return how.deleteMatching(e.table, key);
  return how.updateMatching(e.table, e.before, key);
}

std::vector<db::Statement> plan(db::Connection& conn, const RunInfo& run, const std::vector<Batch>& batches) {
  std::vector<db::Statement> out;
  for (auto b = batches.rbegin(); b != batches.rend(); ++b)
    for (auto e = b->entries.rbegin(); e != b->entries.rend(); ++e)
      if (std::optional<db::Statement> s = undoEntry(conn, run, *e, b->sealed)) out.push_back(std::move(*s));
  return out;
}

// True when the database holds every row as it was before the run.
bool alreadyTakenBack(db::Connection& conn, const std::vector<Batch>& batches) {
  for (const Batch& b : batches)
    for (const Entry& e : b.entries) {
      const std::optional<db::Row> now =
          current(conn, e.table, rowKey(e.change == Change::Insert ? e.after : e.before));
      if (e.change == Change::Insert ? now.has_value() : (!now || firstDifference(*now, e.before))) return false;
    }
  return true;
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
  const std::vector<Batch> batches = file.batches(run.number);
  // Checked inside the transaction, so what is checked is what is changed.
  db::Transaction t(conn);
  std::vector<db::Statement> statements;
  try {
    statements = plan(conn, run, batches);
  } catch (const JournalError&) {
    if (run.state != RunState::TakingBack || !alreadyTakenBack(conn, batches)) throw;
    file.setState(run.number, RunState::TakenBack);
    return {run, 0, true};
  }
  // Noted first: an attempt that ends between the commit and the last note
  // is recognised by the next one, which finds the database taken back.
  file.setState(run.number, RunState::TakingBack);
  for (const db::Statement& s : statements) conn.execute(s);
  t.commit();
  file.setState(run.number, RunState::TakenBack);
  return {run, static_cast<int>(statements.size()), false};
}

}  // namespace gz::journal
