// The journal file: one SQLite database in the operator's data folder that
// holds, for each database written to, its last runs and for each run what
// each of its batches changed (see the README for the tables).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/row.h"

namespace gz::journal {

// The runs kept per database; older ones are dropped as new ones start.
inline constexpr int kRunsKept = 30;

enum class Change { Insert, Update, Delete };

// One row a batch changed: inserted (its image after), updated (before and
// after) or deleted (before). An inserted row kept as its key and a digest
// has only its key as its image after.
struct Entry {
  std::string table;
  Change change = Change::Insert;
  db::Row before, after;
  std::optional<uint64_t> digest;  // of the row's values in its group's columns (rowDigest)
};

// Rows a batch changed in one table the same way, written down together:
// the column names once and each row's values (see row_text.h). Inserted
// rows have their images after, deleted rows before, updated rows both (the
// nth row of each is the same row). Inserted rows may instead be kept as
// `digests`: each row's key (`id`) and the digest of its values in
// `columns`, enough to find the row and tell whether it changed since; as
// text lines (row_text.h), or `packed` where every key is a whole number
// (packed_keys.h).
struct RowGroup {
  std::string table;
  Change change = Change::Insert;
  std::vector<std::string> columns;
  std::string before, after;
  int rows = 0;
  bool digests = false;
  bool packed = false;
};

struct Batch {
  int number = 0;
  bool sealed = false;  // the database confirmed its commit
};

enum class RunState { Recorded, TakingBack, TakenBack };

struct RunInfo {
  int64_t key = 0;         // the run's own key in the file, unique across databases
  int64_t number = 0;      // counted per database from 1: what the operator names a run by
  std::string database;    // the database's key (databaseKey), UTF-8
  std::string started;     // local time, YYYY-MM-DD hh:mm:ss
  std::string department;  // GB 18030
  std::string way;         // "append", "overwrite", "update"
  std::string workbook;    // UTF-8 path
  RunState state = RunState::Recorded;
  int added = 0, updated = 0, deleted = 0;  // people
};

// The calls below that take a `run` take its key (RunInfo::key).
class JournalFile {
 public:
  // Opens the journal at `path`, creating it (and its folder) readable by
  // the operator alone, and drops the runs of database files that are gone.
  // Throws JournalError(CannotWrite).
  explicit JournalFile(const std::string& path);

  // Records a new run, numbered after the database's latest, and drops the
  // database's runs beyond kRunsKept. Returns the run's key.
  int64_t beginRun(const RunInfo& run);
  // Writes a batch's changes durably: `groups`, in order, as its entries from
  // `firstEntry` on, replacing what an earlier attempt wrote there (the
  // entries before it stay); unsealed until sealBatch(), which does not
  // wait for the disk.
  void writeBatch(int64_t run, int batch, std::vector<RowGroup> groups, int64_t firstEntry = 0);
  void sealBatch(int64_t run, int batch);
  // Drops a run that recorded no batch.
  void dropIfEmpty(int64_t run);
  void setState(int64_t run, RunState state);
  // The run turned out to be another way than it began as (an append whose
  // operator chose to update the people the department has).
  void setWay(int64_t run, const std::string& way);

  // The database's runs, newest first.
  std::vector<RunInfo> runs(const std::string& database);
  // The run of the database with that number; throws JournalError(NoSuchRun).
  RunInfo run(const std::string& database, int64_t number);
  std::vector<Batch> batches(int64_t run);
  // One batch's groups in the order written, read one batch at a time so
  // that a large run is never held whole. An entry of a file written before
  // rows were grouped comes back as a group of its one row.
  std::vector<RowGroup> groups(int64_t run, int batch);

 private:
  void guarded(const char* what, const std::function<void()>& work);
  std::string path_;
  std::unique_ptr<db::Connection> conn_;
  bool wal_ = false;  // commits go to a write-ahead log
};

}  // namespace gz::journal
