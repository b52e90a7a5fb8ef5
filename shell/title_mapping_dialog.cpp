#include "shell/title_mapping_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "import/shared/run_texts.h"
#include "text/gb18030.h"

namespace gz::shell {
namespace {

constexpr int kFieldLabelWidth = 260;
constexpr int kChooserWidth = 320;

QString qs(std::string_view gbk) { return text::gb18030ToQString(gbk); }

// A title as one line: a title broken over lines in its cell reads with blanks.
QString titleItem(const imp::SheetTitle& t) {
  QString title = qs(t.text);
  title.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return QStringLiteral("第%1列: %2").arg(t.column).arg(title);
}

}  // namespace

TitleMappingDialog::TitleMappingDialog(const imp::TitleOffer& offer, TitleSaver save, QWidget* parent,
                                       const QString& proceed)
    : QDialog(parent), offer_(offer), save_(std::move(save)) {
  setObjectName(QStringLiteral("TitleMappingDialog"));
  setWindowTitle(QStringLiteral("选择标题对应的列"));
  auto* intro =
      new QLabel(QStringLiteral("工作表“%1”%2的标题与导入所需的不全相同。请为每一项选出工作表中对应的列,"
                                "前四项必须选择。\n“保存”把所选的名称记入 titles.txt,以后同样格式的花名册不再询问。")
                     .arg(qs(offer.sheetName), qs(imp::rowsLabel(offer.preset.rows))),
                 this);
  intro->setWordWrap(true);
  choosers_.resize(imp::mappedFields().size());
  auto* required = new QGroupBox(QStringLiteral("必须的项目"), this);
  required->setLayout(new QVBoxLayout);
  required->layout()->addWidget(fieldRows(true));
  auto* optional = new QGroupBox(QStringLiteral("其他项目(不选则不导入)"), this);
  optional->setLayout(new QVBoxLayout);
  optional->layout()->addWidget(fieldRows(false));

  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("note"));
  note_->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(this);
  saveButton_ = buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::ActionRole);
  importButton_ = buttons->addButton(proceed, QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
  importButton_->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(saveButton_, &QPushButton::clicked, this, &TitleMappingDialog::saveClicked);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(required);
  layout->addWidget(optional);
  layout->addWidget(note_);
  layout->addWidget(buttons);
  choiceChanged();
}

// The rows of the required fields, or of the others: the field's title and its chooser.
QWidget* TitleMappingDialog::fieldRows(bool required) {
  auto* rows = new QWidget(this);
  auto* form = new QFormLayout(rows);
  form->setContentsMargins(0, 0, 0, 0);
  const std::span<const std::string_view> fields = imp::mappedFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (imp::isRequiredField(fields[i]) != required) continue;
    auto* label = new QLabel(qs(fields[i]), rows);
    label->setWordWrap(true);
    label->setFixedWidth(kFieldLabelWidth);
    label->setMinimumHeight(label->heightForWidth(kFieldLabelWidth));  // a long title wraps whole
    auto* chooser = new QComboBox(rows);
    chooser->setFixedWidth(kChooserWidth);
    chooser->addItem(QStringLiteral("(不导入)"), 0);
    for (const imp::SheetTitle& t : offer_.titles) chooser->addItem(titleItem(t), t.column);
    chooser->setCurrentIndex(std::max(0, chooser->findData(offer_.preset.column(fields[i]))));
    connect(chooser, &QComboBox::currentIndexChanged, this, &TitleMappingDialog::choiceChanged);
    label->setBuddy(chooser);
    form->addRow(label, chooser);
    choosers_[i] = chooser;
  }
  return rows;
}

imp::TitleMapping TitleMappingDialog::mapping() const {
  imp::TitleMapping m;
  m.rows = offer_.preset.rows;
  const std::span<const std::string_view> fields = imp::mappedFields();
  for (std::size_t i = 0; i < fields.size(); ++i) m.columns[fields[i]] = choosers_[i]->currentData().toInt();
  return m;
}

QComboBox* TitleMappingDialog::chooser(std::string_view field) const {
  const std::span<const std::string_view> fields = imp::mappedFields();
  const auto it = std::find(fields.begin(), fields.end(), field);
  return it == fields.end() ? nullptr : choosers_[static_cast<std::size_t>(it - fields.begin())];
}

QString TitleMappingDialog::note() const { return note_->text(); }

void TitleMappingDialog::choiceChanged() {
  QStringList missing;
  for (std::string_view field : mapping().missing()) missing << qs(field);
  const bool complete = missing.isEmpty();
  importButton_->setEnabled(complete);
  saveButton_->setEnabled(complete);
  note_->setText(complete ? QString() : QStringLiteral("尚未选择: %1").arg(missing.join(QStringLiteral("、"))));
}

void TitleMappingDialog::saveClicked() {
  try {
    note_->setText(save_(mapping()));
  } catch (const std::exception& e) {
    note_->setText(QStringLiteral("未能保存: %1").arg(QString::fromUtf8(e.what())));
  }
}

}  // namespace gz::shell
