// What the libraries underneath would print by themselves: Qt's warnings
// (the SQL drivers' "QSqlQuery::exec: database not open", "Unable to free
// statement" after a lost server) and GLib's (libgsf on damaged workbooks).
// Failures reach the operator as the program's own sentences; these raw
// lines are dropped. Each program calls this once at start-up.
#pragma once

namespace gz::imp {

void dropLibraryMessages();

}  // namespace gz::imp
