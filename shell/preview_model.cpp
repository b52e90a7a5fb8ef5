#include "shell/preview_model.h"

#include <QApplication>
#include <QColor>
#include <QStyle>

#include "text/gb18030.h"

namespace gz::shell {
namespace {

const QColor kNotImportedColour(0xFF, 0xC7, 0xCE);  // as the check report fills such rows
const QColor kWarnedColour(0xFF, 0xEB, 0x9C);
const QColor kSkippedColour(0xD9, 0xD9, 0xD9);

imp::ResultField fieldOf(int column) { return static_cast<imp::ResultField>(column - PreviewModel::kFirstFieldColumn); }

bool isField(int column) { return column >= PreviewModel::kFirstFieldColumn && column < PreviewModel::kProblemsColumn; }

}  // namespace

PreviewModel::PreviewModel(const imp::RowResults& results, QObject* parent)
    : QAbstractTableModel(parent),
      results_(results),
      refused_(QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical)),
      warning_(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)) {}

int PreviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(results_.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kProblemsColumn + 1; }

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  if (section == kRowColumn) return QStringLiteral("行");
  if (section == kFateColumn) return QStringLiteral("结果");
  if (section == kProblemsColumn) return QStringLiteral("问题");
  const auto field = static_cast<std::size_t>(fieldOf(section));
  return text::gb18030ToQString(results_.layout().fieldTitles[field]);
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  switch (role) {
    case Qt::DisplayRole: return display(row, index.column());
    case Qt::ToolTipRole:
      if (index.column() == kProblemsColumn || cellHasProblem(row, index.column()) || index.column() == kFateColumn)
        return text::gb18030ToQString(results_.problems(row));
      return display(row, index.column());
    case Qt::BackgroundRole: return background(row, index.column());
    case Qt::DecorationRole: return icon(row, index.column());
    default: return {};
  }
}

QVariant PreviewModel::display(std::size_t row, int column) const {
  if (column == kRowColumn) return results_.sheetRow(row);
  if (column == kFateColumn) return text::gb18030ToQString(imp::fateText(results_.fate(row)));
  // Each reason and warning on a line of its own in the report; one line here.
  if (column == kProblemsColumn)
    return text::gb18030ToQString(results_.problems(row)).replace(QLatin1Char('\n'), QStringLiteral("；"));
  return text::gb18030ToQString(results_.value(row, fieldOf(column)));
}

bool PreviewModel::cellHasProblem(std::size_t row, int column) const {
  return isField(column) && results_.fieldHasProblem(row, fieldOf(column));
}

QVariant PreviewModel::background(std::size_t row, int column) const {
  switch (results_.fate(row)) {
    case imp::RowFate::NotImported: return kNotImportedColour;
    case imp::RowFate::Skip: return kSkippedColour;
    case imp::RowFate::Import:
    case imp::RowFate::Update: break;
  }
  if (cellHasProblem(row, column) || (column == kProblemsColumn && results_.warned(row))) return kWarnedColour;
  return {};
}

QVariant PreviewModel::icon(std::size_t row, int column) const {
  if (column == kFateColumn) {
    if (results_.fate(row) == imp::RowFate::NotImported) return refused_;
    if (results_.warned(row)) return warning_;
    return {};
  }
  if (cellHasProblem(row, column)) return results_.fate(row) == imp::RowFate::NotImported ? refused_ : warning_;
  return {};
}

void ProblemRowsFilter::setOnlyProblems(bool only) {
  if (only == onlyProblems_) return;
  onlyProblems_ = only;
  invalidateRowsFilter();
}

bool ProblemRowsFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  if (!onlyProblems_) return true;
  const auto* model = static_cast<const PreviewModel*>(sourceModel());
  return model->results().needsAttention(static_cast<std::size_t>(sourceRow));
}

}  // namespace gz::shell
