// The personnel grid: a read-only view of the people of the department last
// clicked in the tree (and every department below it).
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstddef>
#include <string>
#include <vector>

#include "tree/personnel.h"

class QTableView;

namespace gz::db {
class Connection;
}

namespace gz::shell {

// The rows as read, converted for display only when a cell is drawn, so a
// department of tens of thousands of people fills the grid at once.
class PersonnelModel final : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;
  void setRows(std::vector<tree::PersonnelRow> rows);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<tree::PersonnelRow> rows_;
};

class PersonnelGrid {
 public:
  explicit PersonnelGrid(QTableView& view);

  // Shows the people of `deptCode` (GBK). The grid is emptied first: when
  // the query fails (db::DbError is thrown) it stays empty and closed.
  void open(db::Connection& connection, const std::string& deptCode);
  // Reads the open department again; nothing when the grid is closed.
  void refresh(db::Connection& connection);

  bool isOpen() const { return open_; }
  std::size_t people() const { return static_cast<std::size_t>(model_->rowCount()); }
  // The head count for the status bar, e.g. "25人".
  QString headCountText() const;

 private:
  PersonnelModel* model_;
  std::string deptCode_;
  bool open_ = false;
};

}  // namespace gz::shell
