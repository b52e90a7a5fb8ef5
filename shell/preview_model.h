// The rows' results of a check as a table for the preview: one row per data
// row of the sheet (行, 结果, the stored values, the history in short, 问题).
// A model over the results the run filled, so a sheet of 60,000 rows costs
// no widget or string per cell; texts are converted only for the cells shown.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QSortFilterProxyModel>

#include "import/reports/row_results.h"

namespace gz::shell {

class PreviewModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kRowColumn = 0;
  static constexpr int kFateColumn = 1;
  static constexpr int kFirstFieldColumn = 2;
  static constexpr int kProblemsColumn = kFirstFieldColumn + static_cast<int>(imp::kResultFields);

  PreviewModel(const imp::RowResults& results, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  const imp::RowResults& results() const { return results_; }

 private:
  QVariant display(std::size_t row, int column) const;
  // Rows not imported and cells with a problem stand out by colour and by icon.
  QVariant background(std::size_t row, int column) const;
  QVariant icon(std::size_t row, int column) const;
  bool cellHasProblem(std::size_t row, int column) const;

  const imp::RowResults& results_;
  QIcon refused_, warning_;
};

// Only the rows the operator should look at (not imported, or with warnings), when asked.
class ProblemRowsFilter final : public QSortFilterProxyModel {
  Q_OBJECT
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;
  void setOnlyProblems(bool only);

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  bool onlyProblems_ = false;
};

}  // namespace gz::shell
