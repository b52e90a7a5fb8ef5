#include "shell/personnel_grid.h"

#include <QHeaderView>
#include <QTableView>

#include "text/gb18030.h"

namespace gz::shell {

namespace {
// Column widths in pixels, in the order of the grid's columns (bh xm sfzh
// grsf xb mz csny jkzk gzsj).
constexpr int kColumnWidths[] = {55, 59, 167, 65, 40, 40, 93, 32, 93};
static_assert(std::size(kColumnWidths) == tree::kPersonnelColumns.size());
}  // namespace

void PersonnelModel::setRows(std::vector<tree::PersonnelRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int PersonnelModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PersonnelModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(tree::kPersonnelColumns.size());
}

QVariant PersonnelModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return text::gb18030ToQString(rows_[index.row()][index.column()]);
}

QVariant PersonnelModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return QLatin1String(tree::kPersonnelColumns[section]);
}

PersonnelGrid::PersonnelGrid(QTableView& view) : model_(new PersonnelModel(&view)) {
  view.setModel(model_);
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.verticalHeader()->hide();
  view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 4);
  for (int i = 0; i < model_->columnCount(); ++i) view.setColumnWidth(i, kColumnWidths[i]);
}

void PersonnelGrid::open(db::Connection& connection, const std::string& deptCode) {
  open_ = false;
  deptCode_ = deptCode;
  model_->setRows({});
  model_->setRows(tree::queryDepartmentPeople(connection, deptCode));
  open_ = true;
}

void PersonnelGrid::refresh(db::Connection& connection) {
  if (open_) open(connection, deptCode_);
}

QString PersonnelGrid::headCountText() const { return text::gb18030ToQString(tree::headCountText(people())); }

}  // namespace gz::shell
