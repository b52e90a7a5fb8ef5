// The preview of a check: every data row of the sheet with what the import
// would do with it, the values it would store and why a row would not go in.
// 导入 runs the import with the same choices, 关闭 leaves everything
// unwritten, 导出检查结果… writes the check report.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

#include "import/reports/row_results.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace gz::shell {

class PreviewModel;
class ProblemRowsFilter;

class PreviewDialog final : public QDialog {
  Q_OBJECT
 public:
  // Asks where to write the check report; nullopt when cancelled.
  using ReportPathQuestion = std::function<std::optional<QString>(QWidget* parent)>;

  PreviewDialog(const imp::RowResults& results, const QString& summary, ReportPathQuestion askReportPath,
                QWidget* parent = nullptr);

  // Writes the check report to `path`; the dialog's status line says how it went.
  bool exportReport(const QString& path);
  void showOnlyProblems(bool only);
  QTableView* table() const { return table_; }
  // The cells the selected row's values came from, as the dialog names them.
  QString sourcesText() const;
  QString statusText() const;

 private:
  void createControls(const QString& summary);
  void rowSelected();
  void exportClicked();

  const imp::RowResults& results_;
  ReportPathQuestion askReportPath_;
  PreviewModel* model_ = nullptr;
  ProblemRowsFilter* filter_ = nullptr;
  QTableView* table_ = nullptr;
  QCheckBox* onlyProblems_ = nullptr;
  QLabel* sources_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace gz::shell
