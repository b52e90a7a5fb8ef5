// The window's side of the run journal: a run journalled from its start,
// and 撤销导入…, which lists this database's runs and takes the chosen one
// back once the operator confirms.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "import/import_run.h"
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

// The journal of the run `request` asks for, set into the request; null,
// after a box that says why, when the journal cannot be written: the run
// must not start then.
std::unique_ptr<journal::JournalledRun> journalRun(QWidget* window, MessageBoxes& boxes, const JournalPlace& place,
                                                   db::Connection& conn, imp::ImportRequest& request);

// Lets the operator choose one of the database's runs and takes it back
// after asking to confirm. True when the database was changed.
bool takeBackChosenRun(QWidget* window, MessageBoxes& boxes, const JournalPlace& place, db::Connection& conn);

}  // namespace gz::shell
