#include "shell/preview_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "import/reports/check_report.h"
#include "sheet/pending_workbook.h"
#include "sheet/xlsx_writer.h"
#include "shell/preview_model.h"
#include "text/gb18030.h"

namespace gz::shell {
namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 640;
constexpr int kNarrowColumn = 60;
constexpr int kValueColumn = 110;
constexpr int kWideColumn = 260;

// Wide enough for the values, not for the long titles of some columns.
void sizeColumns(QTableView& table) {
  QHeaderView& h = *table.horizontalHeader();
  h.setDefaultSectionSize(kValueColumn);
  h.resizeSection(PreviewModel::kRowColumn, kNarrowColumn);
  h.resizeSection(PreviewModel::kFateColumn, kNarrowColumn + 20);
  for (const imp::ResultField f : {imp::ResultField::IdCard, imp::ResultField::Education, imp::ResultField::Position,
                                   imp::ResultField::Assessment})
    h.resizeSection(PreviewModel::kFirstFieldColumn + static_cast<int>(f), kWideColumn);
  h.resizeSection(PreviewModel::kProblemsColumn, kWideColumn * 2);
  // Every row one line high, so scrolling never measures rows.
  table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table.verticalHeader()->hide();
  table.setWordWrap(false);
}

}  // namespace

PreviewDialog::PreviewDialog(const imp::RowResults& results, const QString& summary, ReportPathQuestion askReportPath,
                             QWidget* parent)
    : QDialog(parent), results_(results), askReportPath_(std::move(askReportPath)) {
  setObjectName(QStringLiteral("previewDialog"));
  setWindowTitle(QStringLiteral("检查结果"));
  resize(kWidth, kHeight);
  createControls(summary);
}

void PreviewDialog::createControls(const QString& summary) {
  auto* summaryLabel = new QLabel(summary, this);
  summaryLabel->setObjectName(QStringLiteral("previewSummary"));
  onlyProblems_ = new QCheckBox(QStringLiteral("只显示有问题的行"), this);
  onlyProblems_->setObjectName(QStringLiteral("onlyProblems"));
  auto* top = new QHBoxLayout;
  top->addWidget(summaryLabel, 1);
  top->addWidget(onlyProblems_);

  model_ = new PreviewModel(results_, this);
  filter_ = new ProblemRowsFilter(this);
  filter_->setSourceModel(model_);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("previewTable"));
  table_->setModel(filter_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sizeColumns(*table_);

  sources_ = new QLabel(this);
  sources_->setObjectName(QStringLiteral("previewSources"));
  sources_->setWordWrap(true);
  sources_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("previewStatus"));

  auto* exportButton = new QPushButton(QStringLiteral("导出检查结果…"), this);
  exportButton->setObjectName(QStringLiteral("exportButton"));
  auto* importButton = new QPushButton(QStringLiteral("导入"), this);
  importButton->setObjectName(QStringLiteral("importButton"));
  auto* closeButton = new QPushButton(QStringLiteral("关闭"), this);
  closeButton->setObjectName(QStringLiteral("closeButton"));
  closeButton->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(status_, 1);
  buttons->addWidget(exportButton);
  buttons->addWidget(importButton);
  buttons->addWidget(closeButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(table_, 1);
  layout->addWidget(sources_);
  layout->addLayout(buttons);

  connect(onlyProblems_, &QCheckBox::toggled, this, &PreviewDialog::showOnlyProblems);
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &PreviewDialog::rowSelected);
  connect(exportButton, &QPushButton::clicked, this, &PreviewDialog::exportClicked);
  connect(importButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void PreviewDialog::showOnlyProblems(bool only) {
  if (onlyProblems_->isChecked() != only) onlyProblems_->setChecked(only);
  filter_->setOnlyProblems(only);
}

void PreviewDialog::rowSelected() {
  const QModelIndex current = filter_->mapToSource(table_->currentIndex());
  if (!current.isValid()) {
    sources_->clear();
    return;
  }
  const auto row = static_cast<std::size_t>(current.row());
  sources_->setText(QStringLiteral("第%1行的单元格: %2")
                        .arg(results_.sheetRow(row))
                        .arg(text::gb18030ToQString(results_.sources(row))));
}

QString PreviewDialog::sourcesText() const { return sources_->text(); }

QString PreviewDialog::statusText() const { return status_->text(); }

void PreviewDialog::exportClicked() {
  if (const std::optional<QString> path = askReportPath_(this)) exportReport(*path);
}

bool PreviewDialog::exportReport(const QString& path) {
  try {
    sheet::PendingWorkbook file(path.toStdString());
    imp::writeCheckReport(file.partPath(), results_);
    file.commit();
  } catch (const sheet::WorkbookWriteError& e) {
    status_->setText(QString::fromUtf8(e.what()));
    return false;
  }
  status_->setText(QStringLiteral("检查结果已写入 %1").arg(path));
  return true;
}

}  // namespace gz::shell
