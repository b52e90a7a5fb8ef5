// A window on a fresh database in a temporary working directory, with its
// message boxes recorded, and the clicks the tests make on it.
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "shell/main_window.h"
#include "shell/message_boxes.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace gz::shell::testing {

struct ButtonStates {
  bool import, abort, exit;
  bool operator==(const ButtonStates&) const = default;
};

class WindowHarness {
 public:
  WindowHarness();  // makes the temporary directory and moves into it
  ~WindowHarness();  // closes the window and goes back to the first directory

  QString dir() const { return tmp_.path(); }
  QString path(const QString& name) const { return tmp_.filePath(name); }

  // gzgl.mdb with the tables and the institutions 01, 0101, 0102, 02, 0201.
  void makeDatabase();
  // The demo workbook "staff.xls", and with `withCodes` its dm.txt, in `folder`.
  void copyWorkbook(const QString& folder, bool withCodes = true);
  // Runs a statement on gzgl.mdb through a connection of its own.
  void execute(const std::string& sql);

  // Creates and shows the window and waits for its start-up check.
  TFSYDbf& open();
  // The usual start of an import test: the database, staff.xls (and its
  // dm.txt with `withCodes`) in the working folder, the window open,
  // department 0102 clicked and the workbook chosen.
  TFSYDbf& openReadyToImport(bool withCodes = true);
  TFSYDbf& window() { return *window_; }
  RecordingMessageBoxes& boxes() { return boxes_; }
  int quitStatus() const { return quitStatus_; }  // -1 until the window asked to quit

  template <typename W>
  W* child(const char* name) const {
    return window_->findChild<W*>(QLatin1String(name));
  }
  QTreeWidget* tree() const;
  QTreeWidgetItem* node(const QString& code) const;  // the node whose text ends in "_code"
  QPushButton* button(const char* name) const;
  QPlainTextEdit* pane(const char* name) const;
  QTableView* grid() const;
  QString panel(int i) const;
  ButtonStates buttonStates() const;

  // A click on the node, as the operator makes it, with any button and keys.
  void clickNode(const QString& code, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {});
  void clickBelowTheNodes(Qt::MouseButton button = Qt::LeftButton);
  QString selectedCode() const;  // the code of the selected node; empty for none
  void addPerson(const char* departmentCode);
  void showFolder(const QString& folder);   // moves the folder chooser there
  void selectWorkbook(const QString& name);
  void clickImport();
  // The texts of the grid's column `column` (by its name), row by row.
  QStringList gridColumn(const char* column) const;

 private:
  QString startDir_;
  QTemporaryDir tmp_;
  RecordingMessageBoxes boxes_;
  std::unique_ptr<TFSYDbf> window_;
  int quitStatus_ = -1;
};

}  // namespace gz::shell::testing
