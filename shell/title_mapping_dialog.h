// The dialog in which the operator says which column of the sheet feeds
// each field the import reads, where a roster names its columns in a way
// the import does not know: the four required fields first, each with the
// header's titles to choose from, preset with what the search found. 导入
// runs the import by the choice; 保存 keeps its names in titles.txt first.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "import/shared/title_mapping.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace gz::shell {

// Keeps the names of a mapping in titles.txt; returns the line that says
// what was kept. Throws (std::exception, what() in UTF-8) when it cannot.
using TitleSaver = std::function<QString(const imp::TitleMapping&)>;

class TitleMappingDialog : public QDialog {
  Q_OBJECT
 public:
  // `proceed` names the button that takes the choice: 导入, or 检查 before a check.
  TitleMappingDialog(const imp::TitleOffer& offer, TitleSaver save, QWidget* parent = nullptr,
                     const QString& proceed = QStringLiteral("导入"));

  // The choice as it stands: every field with its column, 0 for none.
  imp::TitleMapping mapping() const;
  // The chooser of `field` (one of imp::mappedFields()).
  QComboBox* chooser(std::string_view field) const;
  QPushButton* importButton() const { return importButton_; }
  QPushButton* saveButton() const { return saveButton_; }
  QString note() const;

 private:
  QWidget* fieldRows(bool required);
  void choiceChanged();
  void saveClicked();

  imp::TitleOffer offer_;
  TitleSaver save_;
  std::vector<QComboBox*> choosers_;  // in the order of imp::mappedFields()
  QLabel* note_ = nullptr;
  QPushButton* importButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
};

}  // namespace gz::shell
