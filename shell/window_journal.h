// The window's side of the run journal: a run journalled from its start,
// and 撤销导入…, which lists this database's runs and takes the chosen one
// back once the operator confirms.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "import/run/import_run.h"
#include "journal/journalled_run.h"

class QWidget;

namespace gz::db {
class Connection;
}

namespace gz::shell {

class MessageBoxes;

// Where the window keeps the journal and which database it writes to.
struct JournalPlace {
  std::string file;  // the journal file (UTF-8 path)
  QString database;  // as the window opened it
};

// Whether the run starts, and the journal it keeps.
struct JournalChoice {
  bool start = false;
  std::unique_ptr<journal::JournalledRun> journalled;  // null when the run keeps none
};

// The journal of the run `request` asks for, set into the request. When the
// journal cannot be written the operator is told why and asked whether to
// import all the same, without a journal (the run cannot be taken back then).
JournalChoice journalRun(QWidget* window, MessageBoxes& boxes, const JournalPlace& place, db::Connection& conn,
                         imp::ImportRequest& request);

// What 撤销导入… did: whether the database changed, and the line for the
// import pane and the status line (empty when nothing was tried: no run
// recorded, or the operator cancelled).
struct TakeBackResult {
  bool changed = false;
  QString line;
};

// Lets the operator choose one of the database's runs and takes it back
// after asking to confirm.
TakeBackResult takeBackChosenRun(QWidget* window, MessageBoxes& boxes, const JournalPlace& place, db::Connection& conn);

}  // namespace gz::shell
