#include "journal/journal_file.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "db/open_database.h"
#include "journal/journal_error.h"
#include "journal/journal_place.h"
#include "journal/row_text.h"
#include "journal/rows.h"
#include "text/gb18030.h"

namespace gz::journal {

namespace {

const char* const kSchema[] = {
    "create table if not exists runs (run integer primary key autoincrement, db text not null, "
    "started text not null, dept text not null, way text not null, workbook text not null, "
    "state text not null default 'recorded', number integer not null default 0)",
    "create table if not exists batches (run integer not null, batch integer not null, "
    "sealed integer not null default 0, primary key (run, batch))",
    "create table if not exists entries (run integer not null, batch integer not null, seq integer not null, "
    "tbl text not null, change text not null, before text, after text, names text, "
    "row_count integer not null default 1, form text, primary key (run, batch, seq))",
};

// Inserted rows kept as their key and a digest, not whole (RowGroup::digests),
// as text lines or packed.
constexpr const char* kDigestForm = "digest";
constexpr const char* kPackedForm = "packed";

db::Value formOf(const RowGroup& g) {
  if (g.packed) return std::string(kPackedForm);
  if (g.digests) return std::string(kDigestForm);
  return {};
}

// SQLite's number for auto_vacuum=incremental.
constexpr int64_t kIncrementalVacuum = 2;

// A file written before rows were grouped has one whole row per entry and
// no `names`: such entries read as they were written.
// Nor do they have `form`: their rows are whole.
void addGroupColumns(db::Connection& conn) {
  const std::vector<std::string> have = conn.query({"select * from entries limit 0", {}})->columnNames();
  const auto lacks = [&](const char* column) { return std::find(have.begin(), have.end(), column) == have.end(); };
  if (lacks("names")) {
    conn.execute({"alter table entries add column names text", {}});
    conn.execute({"alter table entries add column row_count integer not null default 1", {}});
  }
  if (lacks("form")) conn.execute({"alter table entries add column form text", {}});
}

bool hasColumn(db::Connection& conn, const char* table, const char* column) {
  const std::vector<std::string> have =
      conn.query({std::string("select * from ") + table + " limit 0", {}})->columnNames();
  return std::find(have.begin(), have.end(), column) != have.end();
}

// A file written before runs were numbered per database numbers them now,
// each database's from 1 in the order they ran.
void numberRunsPerDatabase(db::Connection& conn) {
  if (hasColumn(conn, "runs", "number")) return;
  db::Transaction t(conn);
  conn.execute({"alter table runs add column number integer not null default 0", {}});
  conn.execute({"update runs set number=(select count(*) from runs o where o.db=runs.db and o.run<=runs.run)", {}});
  t.commit();
}

// Freed pages go back to the file system after runs are dropped. A file
// made before that was asked for is rebuilt once to allow it.
int64_t firstNumber(db::Connection& conn, const char* query, const char* column) {
  const auto rs = conn.query({query, {}});
  return rs->next() ? rs->integer(column) : 0;
}

void giveSpaceBack(db::Connection& conn) {
  if (firstNumber(conn, "pragma auto_vacuum", "auto_vacuum") == kIncrementalVacuum) return;
  conn.execute({"pragma auto_vacuum=incremental", {}});
  if (firstNumber(conn, "select count(*) as n from sqlite_master", "n") > 0) conn.execute({"vacuum", {}});
}

// Commits while it lives do not wait for the disk; then every commit waits
// again, as the file is opened. Only for the write-ahead log, where a commit
// that did not wait is lost to a power cut, never damages the file.
class NoWaitForDisk {
 public:
  explicit NoWaitForDisk(db::Connection& conn) : conn_(conn) { conn_.execute({"pragma synchronous=normal", {}}); }
  ~NoWaitForDisk() {
    try {
      conn_.execute({"pragma synchronous=full", {}});
    } catch (const db::DbError&) {  // a pragma without a statement to run fails only when the connection is gone
    }
  }
  NoWaitForDisk(const NoWaitForDisk&) = delete;
  NoWaitForDisk& operator=(const NoWaitForDisk&) = delete;

 private:
  db::Connection& conn_;
};

// The pages freed by dropped runs go back to the file system: cut from the
// file, and copied out of the write-ahead log at once so that the file
// shrinks now, not at some later checkpoint.
void giveFreedPagesBack(db::Connection& conn) {
  if (firstNumber(conn, "pragma freelist_count", "freelist_count") == 0) return;
  conn.execute({"pragma incremental_vacuum", {}});
  conn.execute({"pragma wal_checkpoint(truncate)", {}});
}

// The runs of database files that are no longer there go, with their
// batches and entries: nobody can take them back. Runs on a server stay.
bool dropRunsOfMissingFiles(db::Connection& conn) {
  std::vector<std::string> gone;
  {
    const auto keys = conn.query({"select distinct db from runs", {}});
    while (keys->next()) {
      const std::string key = keys->text("db");
      const std::string path = text::gb18030ToUtf8(key);
      std::error_code ec;
      if (namesFile(path) && !std::filesystem::exists(path, ec) && !ec) gone.push_back(key);
    }
  }
  if (gone.empty()) return false;
  db::Transaction t(conn);
  for (const std::string& key : gone)
    for (const char* table : {"entries", "batches", "runs"})
      conn.execute({std::string("delete from ") + table + " where run in (select run from runs where db=?)", {key}});
  t.commit();
  return true;
}

const char* changeName(Change c) {
  switch (c) {
    case Change::Insert: return "insert";
    case Change::Update: return "update";
    case Change::Delete: return "delete";
  }
  return "";
}

Change changeFrom(const std::string& name) {
  if (name == "insert") return Change::Insert;
  if (name == "update") return Change::Update;
  if (name == "delete") return Change::Delete;
  throw JournalError(JournalFault::Damaged, "日志中有未知的改动: " + name);
}

const char* stateName(RunState s) {
  switch (s) {
    case RunState::Recorded: return "recorded";
    case RunState::TakingBack: return "taking back";
    case RunState::TakenBack: return "taken back";
  }
  return "";
}

RunState stateFrom(const std::string& name) {
  if (name == "taking back") return RunState::TakingBack;
  if (name == "taken back") return RunState::TakenBack;
  return RunState::Recorded;
}

// A file another run is creating at this moment has no header yet.
constexpr std::uintmax_t kHeaderBytes = 100;
constexpr int kOpenAttempts = 50;
constexpr std::chrono::milliseconds kOpenPause{100};

// Opens the file, or creates it when there is none. Two runs that start
// together may both find none: the one that loses the race opens the
// winner's file once it has its header.
std::unique_ptr<db::Connection> openOrCreate(const std::string& path) {
  for (int attempt = 1;; ++attempt) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    try {
      return exists ? db::openDatabase(path) : db::createSqliteDatabase(path);
    } catch (const db::DbError& e) {
      const bool raced = e.fault() == db::DbFault::Exists || (e.fault() == db::DbFault::NotADatabase &&
                                                              std::filesystem::file_size(path, ec) < kHeaderBytes);
      if (!raced || attempt == kOpenAttempts) throw;
    }
    std::this_thread::sleep_for(kOpenPause);
  }
}

std::unique_ptr<db::Connection> openFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  keepPrivate(std::filesystem::path(path).parent_path().string());
  std::unique_ptr<db::Connection> c = openOrCreate(path);
  // Before anything is written: the journal holds personal data.
  keepPrivate(path);
  // Every commit waits for the disk, so a batch written down is there after a crash.
  c->execute({"pragma synchronous=full", {}});
  // Written once and seldom read: its pages need not stay in memory, where
  // they would add a run's whole journal to the import's footprint. 4 MiB
  // holds an ordinary batch until its commit, so that the commit waits for
  // the disk once; a larger one (an overwrite's deletion) spills early.
  c->execute({"pragma cache_size=-4096", {}});
  giveSpaceBack(*c);
  // A commit appends to the write-ahead log and waits for the disk once,
  // where a rollback journal waits three times and deletes a file. Where
  // the file system cannot share the log's index, SQLite keeps the rollback
  // journal and the file works as before.
  c->execute({"pragma journal_mode=wal", {}});
  for (const char* s : kSchema) c->execute({s, {}});
  addGroupColumns(*c);
  numberRunsPerDatabase(*c);
  c->execute({"create unique index if not exists runs_number on runs (db, number)", {}});
  if (dropRunsOfMissingFiles(*c)) giveFreedPagesBack(*c);
  return c;
}

const char* const kRunColumns =
    "select r.run, r.number, r.db, r.started, r.dept, r.way, r.workbook, r.state, "
    "(select coalesce(sum(e.row_count),0) from entries e where e.run=r.run and e.tbl='ryjbxx' and "
    "e.change='insert') as added, "
    "(select coalesce(sum(e.row_count),0) from entries e where e.run=r.run and e.tbl='ryjbxx' and "
    "e.change='update') as updated, "
    "(select coalesce(sum(e.row_count),0) from entries e where e.run=r.run and e.tbl='ryjbxx' and "
    "e.change='delete') as deleted "
    "from runs r where r.db=?";

std::string joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) (out += out.empty() ? "" : ",") += n;
  return out;
}

std::vector<std::string> split(const std::string& names) {
  std::vector<std::string> out;
  for (std::size_t at = 0; at <= names.size();) {
    const std::size_t comma = std::min(names.find(',', at), names.size());
    out.push_back(names.substr(at, comma - at));
    at = comma + 1;
  }
  return out;
}

// One entry: a group of rows of one table, or a whole row of an earlier file.
RowGroup groupFrom(const db::ResultSet& e) {
  const std::string table = e.text("tbl");
  const Change change = changeFrom(e.text("change"));
  const std::string names = e.text("names");
  if (names.empty()) return groupOf({table, change, rowFromText(e.text("before")), rowFromText(e.text("after"))});
  const std::string form = e.text("form");
  const bool packed = form == kPackedForm;
  std::string after;
  if (!packed) after = e.text("after");
  else if (const db::Value v = e.value("after"); const db::Blob* bytes = std::get_if<db::Blob>(&v))
    after = bytes->bytes;
  else throw JournalError(JournalFault::Damaged, "日志中一组行的键不是字节: 表 " + table);
  return {table,
          change,
          split(names),
          e.text("before"),
          std::move(after),
          static_cast<int>(e.integer("row_count")),
          packed || form == kDigestForm,
          packed};
}

RunInfo runFrom(const db::ResultSet& rs) {
  RunInfo r;
  r.key = rs.integer("run");
  r.number = rs.integer("number");
  r.database = text::gb18030ToUtf8(rs.text("db"));
  r.started = rs.text("started");
  r.department = rs.text("dept");
  r.way = rs.text("way");
  r.workbook = text::gb18030ToUtf8(rs.text("workbook"));
  r.state = stateFrom(rs.text("state"));
  r.added = static_cast<int>(rs.integer("added"));
  r.updated = static_cast<int>(rs.integer("updated"));
  r.deleted = static_cast<int>(rs.integer("deleted"));
  return r;
}

}  // namespace

JournalFile::JournalFile(const std::string& path) : path_(path) {
  guarded("打开", [&] {
    conn_ = openFile(path);
    const auto mode = conn_->query({"pragma journal_mode", {}});
    wal_ = mode->next() && mode->text("journal_mode") == "wal";
  });
}

void JournalFile::guarded(const char* what, const std::function<void()>& work) {
  try {
    work();
  } catch (const db::DbError& e) {
    throw JournalError(JournalFault::CannotWrite, std::string("撤销日志 ") + path_ + " 无法" + what + ": " + e.what());
  }
}

int64_t JournalFile::beginRun(const RunInfo& run) {
  int64_t key = 0;
  guarded("写入", [&] {
    db::Transaction t(*conn_);
    db::Row r;
    r.set("db", text::utf8ToGb18030(run.database));
    r.set("started", run.started);
    r.set("dept", run.department);
    r.set("way", run.way);
    r.set("workbook", text::utf8ToGb18030(run.workbook));
    key = conn_->insertReturningKey("runs", r, "run");
    const std::string db = text::utf8ToGb18030(run.database);
    conn_->execute(
        {"update runs set number=(select coalesce(max(number),0)+1 from runs where db=?) where run=?", {db, key}});
    const std::string older =
        "(select run from runs where db=? order by run desc limit -1 offset " + std::to_string(kRunsKept) + ")";
    for (const char* table : {"entries", "batches", "runs"})
      conn_->execute({std::string("delete from ") + table + " where run in " + older, {db}});
    t.commit();
    giveFreedPagesBack(*conn_);
  });
  return key;
}

void JournalFile::writeBatch(int64_t run, int batch, std::vector<RowGroup> groups, int64_t firstEntry) {
  guarded("写入", [&] {
    db::Transaction t(*conn_);
    conn_->execute({"delete from entries where run=? and batch=? and seq>=?", {run, int64_t{batch}, firstEntry}});
    conn_->execute({"insert or replace into batches (run, batch, sealed) values (?,?,0)", {run, int64_t{batch}}});
    int64_t seq = firstEntry;
    // The rows' texts move into the statement: a batch's are megabytes.
    for (RowGroup& g : groups)
      conn_->execute(
          {"insert into entries (run, batch, seq, tbl, change, names, row_count, before, after, form) "
           "values (?,?,?,?,?,?,?,?,?,?)",
           {run, int64_t{batch}, seq++, g.table, std::string(changeName(g.change)), joined(g.columns), int64_t{g.rows},
            std::move(g.before), g.packed ? db::Value{db::Blob{std::move(g.after)}} : db::Value{std::move(g.after)},
            formOf(g)}});
    t.commit();
  });
}

// A seal lost to a power cut leaves its batch unsealed, which taking the run
// back checks against the database: the seal need not wait for the disk. In
// the write-ahead log it is made durable by the next commit that waits.
void JournalFile::sealBatch(int64_t run, int batch) {
  guarded("写入", [&] {
    std::optional<NoWaitForDisk> noWait;
    if (wal_) noWait.emplace(*conn_);
    conn_->execute({"update batches set sealed=1 where run=? and batch=?", {run, int64_t{batch}}});
  });
}

void JournalFile::dropIfEmpty(int64_t run) {
  guarded("写入", [&] {
    conn_->execute({"delete from runs where run=? and not exists (select 1 from batches where run=?)", {run, run}});
  });
}

void JournalFile::setState(int64_t run, RunState state) {
  guarded("写入",
          [&] { conn_->execute({"update runs set state=? where run=?", {std::string(stateName(state)), run}}); });
}

void JournalFile::setWay(int64_t run, const std::string& way) {
  guarded("写入", [&] { conn_->execute({"update runs set way=? where run=?", {way, run}}); });
}

std::vector<RunInfo> JournalFile::runs(const std::string& database) {
  std::vector<RunInfo> out;
  guarded("读取", [&] {
    const auto rs = conn_->query({std::string(kRunColumns) + " order by r.run desc", {text::utf8ToGb18030(database)}});
    while (rs->next()) out.push_back(runFrom(*rs));
  });
  return out;
}

RunInfo JournalFile::run(const std::string& database, int64_t number) {
  std::optional<RunInfo> found;
  guarded("读取", [&] {
    const auto rs =
        conn_->query({std::string(kRunColumns) + " and r.number=?", {text::utf8ToGb18030(database), number}});
    if (rs->next()) found = runFrom(*rs);
  });
  if (!found) throw JournalError(JournalFault::NoSuchRun, "没有第 " + std::to_string(number) + " 次导入的记录");
  return *found;
}

std::vector<Batch> JournalFile::batches(int64_t run) {
  std::vector<Batch> out;
  guarded("读取", [&] {
    const auto b = conn_->query({"select batch, sealed from batches where run=? order by batch", {run}});
    while (b->next()) out.push_back({static_cast<int>(b->integer("batch")), b->integer("sealed") != 0});
  });
  return out;
}

std::vector<RowGroup> JournalFile::groups(int64_t run, int batch) {
  std::vector<RowGroup> out;
  guarded("读取", [&] {
    const auto e = conn_->query(
        {"select tbl, change, names, row_count, before, after, form from entries where run=? and batch=? order by seq",
         {run, int64_t{batch}}});
    while (e->next()) out.push_back(groupFrom(*e));
  });
  return out;
}

}  // namespace gz::journal
