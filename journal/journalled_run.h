// A run journalled from its start: the journal file opened, the run
// recorded, and the recorder to hand to the import (ImportRequest::journal).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/connection.h"
#include "import/run/import_run.h"
#include "journal/journal_file.h"
#include "journal/run_recorder.h"

namespace gz::journal {

// The way's name in the journal ("append", "overwrite").
std::string wayName(imp::ImportMode mode);
// The way as the window names it (UTF-8): 追加, 覆盖, 更新.
std::string wayLabel(const std::string& wayName);

class JournalledRun {
 public:
  // Throws JournalError(CannotWrite) when the journal cannot be written:
  // the run must not start then.
  JournalledRun(const std::string& journalFile, db::Connection& conn, const std::string& databaseTarget,
                const std::string& deptCode, imp::ImportMode mode, const std::string& workbookUtf8);
  // A run that wrote nothing leaves no record.
  ~JournalledRun();
  JournalledRun(const JournalledRun&) = delete;
  JournalledRun& operator=(const JournalledRun&) = delete;

  imp::RunJournal& journal() { return *recorder_; }

 private:
  std::unique_ptr<JournalFile> file_;
  std::unique_ptr<RunRecorder> recorder_;
};

}  // namespace gz::journal
