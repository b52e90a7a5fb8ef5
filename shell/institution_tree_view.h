// The institution tree in the window's tree view: fully expanded, read-only,
// the selection kept visible when the view loses the focus, each node
// carrying its institution record.
#pragma once

#include <QItemSelectionModel>
#include <QTreeWidget>
#include <memory>

#include "tree/institutions.h"

class QMouseEvent;

namespace gz::db {
class Connection;
}

namespace gz::shell {

// The tree control. Once a node is selected one stays selected: only a plain
// press of the primary button on a node moves the selection by mouse; a
// press beside the nodes, with another button or with Ctrl or Shift leaves
// it, and no key removes it. Keys move it as usual.
class InstitutionTreeWidget : public QTreeWidget {
  Q_OBJECT
 public:
  using QTreeWidget::QTreeWidget;

 signals:
  // Every click of the primary button on the tree, on a node or beside the
  // nodes, once the press has moved the selection where it may.
  void primaryClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;

 private:
  bool selectsNode(const QMouseEvent* event) const;

  bool pressHandled_ = false;   // the tree itself saw the press
  bool primaryPressed_ = false; // a primary-button press awaits its release
};

class InstitutionTreeView {
 public:
  explicit InstitutionTreeView(QTreeWidget& view);

  // Reads the institutions and rebuilds the nodes. An empty institution
  // table leaves the nodes as they are. Throws db::DbError; the nodes and the
  // records they carry then stay as they were.
  void load(db::Connection& connection);

  // The record a node carries; null for none.
  const tree::JGData* recordOf(const QTreeWidgetItem* node) const;

 private:
  QTreeWidget& view_;
  tree::InstitutionList list_;
  // The records the nodes point into: replaced together with the nodes.
  std::shared_ptr<const tree::InstitutionRecords> shown_;
};

}  // namespace gz::shell
