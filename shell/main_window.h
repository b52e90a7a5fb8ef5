// The main window: department tree, workbook chooser, import and error
// panes, personnel grid and the import, abort and exit buttons. The handlers
// are thin: the work is done by the core (tree, codes, import, db).
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

#include "codes/code_map.h"
#include "import/shared/column_map.h"
#include "journal/journal_place.h"

class QCloseEvent;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableView;
class QTimer;

namespace gz::db {
class Connection;
}
namespace gz::imp {
struct ImportOutcome;
struct ImportRequest;
class RowResults;
}  // namespace gz::imp
namespace gz::tree {
struct JGData;
}

namespace gz::shell {

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
struct FrontendWidgets;
class InstitutionTreeView;
class InstitutionTreeWidget;
class MessageBoxes;
class PersonnelGrid;
struct RunChoices;

struct WindowSetup {
  MessageBoxes* boxes = nullptr;  // every box the window shows goes through it
  // The database: a file path, "postgresql://..." or "odbc:...".
  QString database = QStringLiteral("gzgl.mdb");
  int startupCheckDelayMs = 1000;
  // The run journal (UTF-8 path): the operator's own one unless a test names another.
  std::string journalFile = journal::journalPath();
};

class TFSYDbf : public QWidget {
  Q_OBJECT
 public:
  explicit TFSYDbf(const WindowSetup& setup, QWidget* parent = nullptr);
  ~TFSYDbf() override;

  bool importRunning() const { return running_; }
  int32_t abortFlag() const { return abortFlag_; }

 signals:
  // The start-up check found no database: the program must end with `status`.
  void quitRequested(int status);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void createFileControls();
  void createRunControls();
  void createViews();
  void createHiddenControls();
  void centreOnScreen();
  // Runs a handler; an exception leaving it is shown and the window goes on.
  void guarded(void (TFSYDbf::*handler)());

  void Timer1Timer();
  void Button1Click();
  // 检查: the whole import run with nothing written, to see what it would say.
  void checkClick();
  // 撤销导入…: one of this database's runs taken back, then the grid shown again.
  void undoClick();
  // 导出…: the selected department as a workbook the import reads (shell/window_export.h).
  void exportClick();
  void startRun(bool checkOnly);
  void BitBtn1Click();
  void Button2Click();
  void Button3Click();
  void TV1Click();
  void ASetDmExecute();
  // A check ends in its preview; the choices to import with when the
  // operator chose 导入 there. An import asks only what `choices` leaves open.
  std::optional<RunChoices> AInputExecute(bool checkOnly = false, const RunChoices* choices = nullptr);
  std::optional<RunChoices> previewCheck(const imp::ImportOutcome& outcome, const imp::RowResults& results,
                                         const RunChoices& choices);
  // The request of a run into `record` from the window's choices.
  imp::ImportRequest runRequest(const tree::JGData& record);
  // The panes and bars a run reports into.
  FrontendWidgets runWidgets();

  // The connection, opened again on demand when opening it failed before.
  db::Connection& database();
  bool databaseFileExists() const;
  void loadInstitutionTree();
  const tree::JGData* selectedRecord() const;
  void refreshPersonnelView();
  void setRunState(bool running);

  WindowSetup setup_;
  std::unique_ptr<db::Connection> ADOConnection1;
  // The code map and column map: refilled by each run, kept between runs.
  codes::CodeMap codeMap_;
  imp::ColumnMap columnMap_;
  std::unique_ptr<InstitutionTreeView> institutions_;
  std::unique_ptr<PersonnelGrid> personnel_;

  int32_t abortFlag_ = 0;
  bool running_ = false;
  bool exitClicked_ = false;

  QTimer* Timer1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  DriveComboBox* DriveComboBox1 = nullptr;
  DirectoryListBox* DirectoryListBox1 = nullptr;
  FileListBox* FileListBox1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QFrame* Panel1 = nullptr;
  QRadioButton* RadioButton1 = nullptr;
  QRadioButton* RadioButton2 = nullptr;
  QRadioButton* RadioButton3 = nullptr;
  QRadioButton* RadioButton4 = nullptr;
  QRadioButton* RadioButton5 = nullptr;
  QRadioButton* RadioButton6 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* checkButton_ = nullptr;
  QPushButton* undoButton_ = nullptr;
  QPushButton* exportButton_ = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QTableView* DBGrid1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  InstitutionTreeWidget* TV1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* statusPanels_[2] = {nullptr, nullptr};
};

}  // namespace gz::shell
