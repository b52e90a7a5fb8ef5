#include "shell/message_boxes.h"

#include <QMessageBox>

namespace gz::shell {

void QtMessageBoxes::show(QWidget* parent, const QString& text, const QString& caption,
                          BoxIcon icon) {
  QMessageBox box(icon == BoxIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon, caption,
                  text, QMessageBox::Ok, parent);
  box.exec();
}

void RecordingMessageBoxes::show(QWidget*, const QString& text, const QString& caption,
                                 BoxIcon icon) {
  shown_.push_back({text, caption, icon});
  if (onShow) onShow(shown_.back());
}

QStringList RecordingMessageBoxes::texts() const {
  QStringList t;
  for (const ShownBox& b : shown_) t << b.text;
  return t;
}

}  // namespace gz::shell
