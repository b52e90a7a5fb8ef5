// Records one import run in the journal file as it goes: the rows each batch
// inserted (each row's key and a digest of its values), the whole rows it
// deleted or changed (their images before, and after for a change), written
// down before the database commits the batch.
//
// A batch written down but not committed (the process ended between the
// two) stays unsealed; taking the run back finds out from the database
// whether it was committed and passes over what is not there.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/connection.h"
#include "import/writers/run_journal.h"
#include "journal/journal_file.h"
#include "journal/rows.h"

namespace gz::journal {

class RunRecorder final : public imp::RunJournal {
 public:
  // `conn` is the database the run writes to, read inside each batch.
  RunRecorder(JournalFile& file, db::Connection& conn, int64_t run);

  void personChanging(int64_t personId) override;
  void personAdded(int64_t personId) override;
  void deletingDepartment(std::string_view deptCode) override;
  void beforeCommit() override;
  void committed() override;
  void rolledBack() override;
  void deferChangeReads(bool on) override { deferring_ = on; }
  void writesDue() override;

  int64_t run() const { return run_; }

 private:
  void addChanges(std::vector<RowGroup>& groups);
  // Reads the people told as changing and not read yet, as they are now.
  void readChanging(const std::vector<int64_t>& ids);
  void addInserted(std::vector<RowGroup>& groups);

  JournalFile& file_;
  db::Connection& conn_;
  int64_t run_;
  int batch_ = 0;
  bool written_ = false;                             // the open batch is written down, not yet sealed
  int64_t deletedEntries_ = 0;                       // entries of the open batch's deletion, written already
  std::vector<int64_t> added_;                       // people the open batch added
  std::map<int64_t, std::vector<TableRow>> before_;  // people the open batch changes, as they were
  std::vector<int64_t> changing_;                    // told as changing, to be read at writesDue()
  bool deferring_ = false;
  // The rows each batch inserts, as the database stores them, where it can
  // hand them over; else they are read back before the commit.
  std::unique_ptr<db::InsertCapture> capture_;
};

}  // namespace gz::journal
