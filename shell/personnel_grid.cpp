#include "shell/personnel_grid.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

#include "text/gbk.h"
#include "tree/personnel.h"

namespace gz::shell {

namespace {
// Column widths in pixels, in the order of the grid's columns (bh xm sfzh
// grsf xb mz csny jkzk gzsj).
constexpr int kColumnWidths[] = {55, 59, 167, 65, 40, 40, 93, 32, 93};
static_assert(std::size(kColumnWidths) == tree::kPersonnelColumns.size());
}  // namespace

PersonnelGrid::PersonnelGrid(QTableView& view) : model_(new QStandardItemModel(&view)) {
  QStringList headers;
  for (const char* c : tree::kPersonnelColumns) headers << QLatin1String(c);
  model_->setHorizontalHeaderLabels(headers);
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
  model_->removeRows(0, model_->rowCount());
  const std::vector<tree::PersonnelRow> rows = tree::queryDepartmentPeople(connection, deptCode);
  model_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(rows[r].size()); ++c)
      model_->setItem(r, c, new QStandardItem(text::gbkToQString(rows[r][c])));
  open_ = true;
}

void PersonnelGrid::refresh(db::Connection& connection) {
  if (open_) open(connection, deptCode_);
}

std::size_t PersonnelGrid::people() const { return static_cast<std::size_t>(model_->rowCount()); }

QString PersonnelGrid::headCountText() const {
  return text::gbkToQString(tree::headCountText(people()));
}

}  // namespace gz::shell
