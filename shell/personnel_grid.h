// The personnel grid: a read-only view of the people of the department last
// clicked in the tree (and every department below it).
#pragma once

#include <QString>
#include <cstddef>
#include <string>

class QStandardItemModel;
class QTableView;

namespace gz::db {
class Connection;
}

namespace gz::shell {

class PersonnelGrid {
 public:
  explicit PersonnelGrid(QTableView& view);

  // Shows the people of `deptCode` (GBK). The grid is emptied first: when
  // the query fails (db::DbError is thrown) it stays empty and closed.
  void open(db::Connection& connection, const std::string& deptCode);
  // Reads the open department again; nothing when the grid is closed.
  void refresh(db::Connection& connection);

  bool isOpen() const { return open_; }
  std::size_t people() const;
  // The head count for the status bar, e.g. "25人".
  QString headCountText() const;

 private:
  QStandardItemModel* model_;
  std::string deptCode_;
  bool open_ = false;
};

}  // namespace gz::shell
