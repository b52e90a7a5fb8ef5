#include "shell/message_boxes.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "shell/preview_dialog.h"

namespace gz::shell {

void QtMessageBoxes::show(QWidget* parent, const QString& text, const QString& caption, BoxIcon icon) {
  QMessageBox box(icon == BoxIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon, caption, text, QMessageBox::Ok,
                  parent);
  box.exec();
}

QString passwordQuestionText(const QString& path, bool lastWasWrong) {
  const QString name = QFileInfo(path).fileName();
  if (lastWasWrong) return QStringLiteral("密码不正确。\n请重新输入工作簿“%1”的打开密码:").arg(name);
  return QStringLiteral("工作簿“%1”有打开密码。\n请输入密码:").arg(name);
}

std::optional<QString> QtMessageBoxes::askPassword(QWidget* parent, const QString& path, bool lastWasWrong) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("打开密码"));
  dialog.setLabelText(passwordQuestionText(path, lastWasWrong));
  dialog.setTextEchoMode(QLineEdit::Password);
  dialog.setOkButtonText(QStringLiteral("确定"));
  dialog.setCancelButtonText(QStringLiteral("取消"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

QStringList proceedButtons(RunKind kind) {
  return {kind == RunKind::Check ? QStringLiteral("检查") : QStringLiteral("导入"), QStringLiteral("取消")};
}

QStringList duplicateButtons(RunKind kind) {
  if (kind == RunKind::Check)
    return {QStringLiteral("只检查新人员"), QStringLiteral("全部检查"), QStringLiteral("检查更新已有人员"),
            QStringLiteral("取消")};
  return {QStringLiteral("只导入新人员"), QStringLiteral("全部导入"), QStringLiteral("更新已有人员"),
          QStringLiteral("取消")};
}

imp::DuplicateAnswer QtMessageBoxes::askDuplicates(QWidget* parent, const QString& text, RunKind kind) {
  const QStringList texts = duplicateButtons(kind);
  QMessageBox box(QMessageBox::Question, QStringLiteral("重复人员"), text, QMessageBox::NoButton, parent);
  QPushButton* skip = box.addButton(texts[0], QMessageBox::AcceptRole);
  QPushButton* all = box.addButton(texts[1], QMessageBox::DestructiveRole);
  // Updates the people with the rows' numbers in place and adds the others.
  QPushButton* update = box.addButton(texts[2], QMessageBox::ActionRole);
  QPushButton* cancel = box.addButton(texts[3], QMessageBox::RejectRole);
  box.setDefaultButton(skip);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == skip) return imp::DuplicateAnswer::SkipExisting;
  if (box.clickedButton() == all) return imp::DuplicateAnswer::ImportAll;
  if (box.clickedButton() == update) return imp::DuplicateAnswer::UpdateExisting;
  return imp::DuplicateAnswer::Cancel;
}

namespace {

// A question answered with 导入 or 检查 (the default) or 取消 (also Escape).
bool askProceedOrCancel(QWidget* parent, const QString& caption, const QString& text, RunKind kind) {
  const QStringList texts = proceedButtons(kind);
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
  QPushButton* proceed = box.addButton(texts[0], QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(texts[1], QMessageBox::RejectRole);
  box.setDefaultButton(proceed);
  box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == proceed;
}

}  // namespace

bool QtMessageBoxes::askFoundTitles(QWidget* parent, const QString& text, RunKind kind) {
  return askProceedOrCancel(parent, QStringLiteral("标题不在第1行"), text, kind);
}

std::optional<imp::TitleMapping> QtMessageBoxes::askTitleMapping(QWidget* parent, const imp::TitleOffer& offer,
                                                                 const TitleSaver& save, RunKind kind) {
  TitleMappingDialog dialog(offer, save, parent, proceedButtons(kind).front());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.mapping();
}

bool QtMessageBoxes::askOtherSheet(QWidget* parent, const QString& text, RunKind kind) {
  return askProceedOrCancel(parent, QStringLiteral("标题在其他工作表"), text, kind);
}

bool QtMessageBoxes::showOfferingRejects(QWidget* parent, const QString& text, const QString& caption) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
  QPushButton* save = box.addButton(QStringLiteral("保存未导入的行…"), QMessageBox::ActionRole);
  box.exec();
  return box.clickedButton() == save;
}

std::optional<QString> QtMessageBoxes::askRejectsPath(QWidget* parent, const QString& suggested) {
  QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("保存未导入的行"), suggested,
                                              QStringLiteral("Excel 工作簿 (*.xlsx)"));
  if (path.isEmpty()) return std::nullopt;
  if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) path += QLatin1String(".xlsx");
  return path;
}

std::optional<QString> QtMessageBoxes::askExportPath(QWidget* parent, const QString& suggested) {
  QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("导出部门人员"), suggested,
                                              QStringLiteral("Excel 工作簿 (*.xlsx)"));
  if (path.isEmpty()) return std::nullopt;
  if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) path += QLatin1String(".xlsx");
  return path;
}

std::optional<QString> RecordingMessageBoxes::askExportPath(QWidget*, const QString& suggested) {
  suggestedExportPaths << suggested;
  return exportPath;
}

bool RecordingMessageBoxes::showOfferingRejects(QWidget*, const QString& text, const QString& caption) {
  shown_.push_back({text, caption, BoxIcon::None, true});
  if (onShow) onShow(shown_.back());
  return saveRejects;
}

std::optional<QString> RecordingMessageBoxes::askRejectsPath(QWidget*, const QString& suggested) {
  suggestedRejectsPaths << suggested;
  return rejectsPath;
}

imp::DuplicateAnswer RecordingMessageBoxes::askDuplicates(QWidget*, const QString& text, RunKind kind) {
  duplicateQuestions << text;
  questionButtons.push_back(duplicateButtons(kind));
  return duplicateAnswer;
}

bool RecordingMessageBoxes::askFoundTitles(QWidget*, const QString& text, RunKind kind) {
  foundTitlesQuestions << text;
  questionButtons.push_back(proceedButtons(kind));
  return takeFoundTitles;
}

std::optional<imp::TitleMapping> RecordingMessageBoxes::askTitleMapping(QWidget*, const imp::TitleOffer& offer,
                                                                        const TitleSaver& save, RunKind kind) {
  titleOffers.push_back(offer);
  questionButtons.push_back(proceedButtons(kind));
  if (!answerTitleMapping) return std::nullopt;
  return answerTitleMapping(offer, save);
}

bool RecordingMessageBoxes::askOtherSheet(QWidget*, const QString& text, RunKind kind) {
  otherSheetQuestions << text;
  questionButtons.push_back(proceedButtons(kind));
  return takeOtherSheet;
}

void RecordingMessageBoxes::show(QWidget*, const QString& text, const QString& caption, BoxIcon icon) {
  shown_.push_back({text, caption, icon});
  if (onShow) onShow(shown_.back());
}

std::optional<QString> RecordingMessageBoxes::askPassword(QWidget*, const QString& path, bool lastWasWrong) {
  questions_.push_back({path, lastWasWrong});
  if (!answerPassword) return std::nullopt;
  return answerPassword(questions_.back());
}

QStringList RecordingMessageBoxes::texts() const {
  QStringList t;
  for (const ShownBox& b : shown_) t << b.text;
  return t;
}

std::optional<int> QtMessageBoxes::askRunToTakeBack(QWidget* parent, const QStringList& runs) {
  bool ok = false;
  const QString chosen = QInputDialog::getItem(parent, QStringLiteral("撤销导入"), QStringLiteral("选择要撤销的导入:"),
                                               runs, 0, false, &ok);
  if (!ok) return std::nullopt;
  return static_cast<int>(runs.indexOf(chosen));
}

bool QtMessageBoxes::askConfirm(QWidget* parent, const QString& text, const QString& caption,
                                const QString& confirmButton) {
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
  QPushButton* yes = box.addButton(confirmButton, QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == yes;
}

std::optional<int> RecordingMessageBoxes::askRunToTakeBack(QWidget*, const QStringList& runs) {
  runLists.push_back(runs);
  return runToTakeBack;
}

bool RecordingMessageBoxes::askConfirm(QWidget*, const QString& text, const QString&, const QString&) {
  confirmations << text;
  return confirm;
}

bool QtMessageBoxes::showPreview(QWidget* parent, const imp::RowResults& results, const QString& summary) {
  const auto askPath = [](QWidget* dialog) -> std::optional<QString> {
    QString path = QFileDialog::getSaveFileName(dialog, QStringLiteral("导出检查结果"), QStringLiteral("检查结果.xlsx"),
                                                QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (path.isEmpty()) return std::nullopt;
    if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) path += QLatin1String(".xlsx");
    return path;
  };
  PreviewDialog dialog(results, summary, askPath, parent);
  return dialog.exec() == QDialog::Accepted;
}

bool RecordingMessageBoxes::showPreview(QWidget*, const imp::RowResults& results, const QString& summary) {
  previews << summary;
  if (onPreview) onPreview(results);
  return importFromPreview;
}

}  // namespace gz::shell
