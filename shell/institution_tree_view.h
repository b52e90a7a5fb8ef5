// The institution tree in the window's tree view: fully expanded, read-only,
// the selection kept visible when the view loses the focus, each node
// carrying its institution record.
#pragma once

#include <memory>

#include "tree/institutions.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace gz::db {
class Connection;
}

namespace gz::shell {

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
