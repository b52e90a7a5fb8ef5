#include "shell/institution_tree_view.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPalette>

#include "text/gb18030.h"
#include "tree/tree_builder.h"

namespace gz::shell {

namespace {
constexpr int kRecordRole = Qt::UserRole;
}

bool InstitutionTreeWidget::selectsNode(const QMouseEvent* event) const {
  return event->button() == Qt::LeftButton && !(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) &&
         itemAt(event->position().toPoint()) != nullptr;
}

void InstitutionTreeWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) primaryPressed_ = true;
  pressHandled_ = selectsNode(event);
  if (pressHandled_) QTreeWidget::mousePressEvent(event);
  else event->accept();
}

// The second press of a double click: the same rules as the first.
void InstitutionTreeWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) primaryPressed_ = true;
  pressHandled_ = selectsNode(event);
  if (pressHandled_) QTreeWidget::mouseDoubleClickEvent(event);
  else event->accept();
}

void InstitutionTreeWidget::mouseMoveEvent(QMouseEvent* event) {
  // Dragging with a button held would move the selection off the pressed
  // node, or clear it beside the nodes: the pressed node stays selected.
  if (event->buttons() != Qt::NoButton) {
    event->accept();
    return;
  }
  QTreeWidget::mouseMoveEvent(event);
}

void InstitutionTreeWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (pressHandled_) QTreeWidget::mouseReleaseEvent(event);
  else event->accept();
  if (event->buttons() == Qt::NoButton) pressHandled_ = false;
  if (event->button() == Qt::LeftButton && primaryPressed_) {
    primaryPressed_ = false;
    emit primaryClicked();
  }
}

QItemSelectionModel::SelectionFlags InstitutionTreeWidget::selectionCommand(const QModelIndex& index,
                                                                            const QEvent* event) const {
  const QItemSelectionModel::SelectionFlags command = QTreeWidget::selectionCommand(index, event);
  // Ctrl+Space on the selected node would deselect it; nothing on no node.
  if (!index.isValid() || (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)))
    return QItemSelectionModel::NoUpdate;
  return command;
}

InstitutionTreeView::InstitutionTreeView(QTreeWidget& view) : view_(view), shown_(list_.shared()) {
  view_.setHeaderHidden(true);
  view_.setColumnCount(1);
  view_.setIndentation(19);
  view_.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_.setSelectionMode(QAbstractItemView::SingleSelection);
  // Keep the selected node highlighted when the tree loses the focus.
  QPalette pal = view_.palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
  view_.setPalette(pal);
}

void InstitutionTreeView::load(db::Connection& connection) {
  if (list_.load(connection) == tree::InstitutionList::LoadResult::Unchanged) return;
  const tree::InstitutionTree built = tree::buildInstitutionTree(list_.shared());

  // Nodes are made children-first from the top level down; each node's
  // record index goes with it, valid for the records kept in shown_.
  QList<QTreeWidgetItem*> top;
  std::function<QTreeWidgetItem*(std::size_t)> make = [&](std::size_t n) {
    const tree::InstitutionTree::Node& node = built.node(n);
    auto* item = new QTreeWidgetItem(QStringList{text::gb18030ToQString(tree::nodeText(built.record(n)))});
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setData(0, kRecordRole, QVariant::fromValue<qulonglong>(node.record));
    for (std::size_t child : node.children) item->addChild(make(child));
    return item;
  };
  for (std::size_t n : built.topLevel()) top.append(make(n));

  view_.clear();
  shown_ = built.records();
  view_.addTopLevelItems(top);
  view_.expandAll();
}

const tree::JGData* InstitutionTreeView::recordOf(const QTreeWidgetItem* node) const {
  if (!node) return nullptr;
  bool ok = false;
  const qulonglong index = node->data(0, kRecordRole).toULongLong(&ok);
  if (!ok || index >= shown_->size()) return nullptr;
  return &(*shown_)[index];
}

}  // namespace gz::shell
