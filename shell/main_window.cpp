#include "shell/main_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <optional>
#include <string>

#include "codes/dm_file.h"
#include "db/connection.h"
#include "db/payroll/schema.h"
#include "import/reports/row_results.h"
#include "import/run/import_run.h"
#include "import/shared/run_texts.h"
#include "import/writers/dry_run_connection.h"
#include "sheet/open_workbook.h"
#include "shell/choosers.h"
#include "shell/exception_display.h"
#include "shell/institution_tree_view.h"
#include "shell/message_boxes.h"
#include "shell/personnel_grid.h"
#include "shell/window_export.h"
#include "shell/window_frontend.h"
#include "shell/window_journal.h"
#include "text/gb18030.h"

namespace gz::shell {

namespace {

// Design units are pixels at 96 dpi. Qt lays widgets out in device-independent
// pixels and applies the screen's device pixel ratio itself, so the design
// numbers are used as they stand.
constexpr int kClientWidth = 982;
constexpr int kClientHeight = 664;
constexpr int kStatusBarHeight = 19;
constexpr int kTreeWidth = 267;

// The window's Song-style font, with the CJK fonts the setup installs as
// stand-ins where "宋体" is not installed. The Hanazono fonts come last: they
// hold the rare characters of the CJK extensions (names such as 李𬌗), which
// the others lack.
QFont songFont(int pixelSize) {
  QFont f;
  f.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                 QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("HanaMinA"), QStringLiteral("HanaMinB")});
  f.setPixelSize(pixelSize);
  return f;
}

template <typename W>
W* place(W* w, const char* name, int left, int top, int width, int height) {
  w->setObjectName(QLatin1String(name));
  w->setGeometry(left, top, width, height);
  return w;
}

QPlainTextEdit* makePane(QWidget* parent) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setReadOnly(true);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return memo;
}

}  // namespace

TFSYDbf::TFSYDbf(const WindowSetup& setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      setup_(setup) {
  Q_ASSERT(setup_.boxes);
  setObjectName(QStringLiteral("FSYDbf"));
  setWindowTitle(QStringLiteral("从(xls)数据导入qj"));
  setFixedSize(kClientWidth, kClientHeight);
  setFont(songFont(16));
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  setPalette(pal);
  setAutoFillBackground(true);

  createControls();
  centreOnScreen();

  // The connection opens while the window is created; a failure is shown and
  // the window opens all the same (the tree load tries again).
  runHandler(*setup_.boxes, this, [this] { database(); });

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setInterval(setup_.startupCheckDelayMs);
  connect(Timer1, &QTimer::timeout, this, [this] { guarded(&TFSYDbf::Timer1Timer); });
  Timer1->start();
}

TFSYDbf::~TFSYDbf() = default;

void TFSYDbf::createControls() {
  // Created in the order they stack in, the later over the earlier.
  createFileControls();
  createRunControls();
  createViews();
  createHiddenControls();

  linkChoosers(*DriveComboBox1, *DirectoryListBox1, *FileListBox1);
  DirectoryListBox1->setDirectory(QDir::currentPath());

  connect(Button1, &QPushButton::clicked, this, [this] { guarded(&TFSYDbf::Button1Click); });
  connect(checkButton_, &QPushButton::clicked, this, [this] { guarded(&TFSYDbf::checkClick); });
  connect(undoButton_, &QPushButton::clicked, this, [this] { guarded(&TFSYDbf::undoClick); });
  connect(exportButton_, &QPushButton::clicked, this, [this] { guarded(&TFSYDbf::exportClick); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded(&TFSYDbf::BitBtn1Click); });
  connect(Button2, &QPushButton::clicked, this, [this] { guarded(&TFSYDbf::Button2Click); });
  connect(Button3, &QPushButton::clicked, this, [this] { guarded(&TFSYDbf::Button3Click); });
  connect(TV1, &InstitutionTreeWidget::primaryClicked, this, [this] { guarded(&TFSYDbf::TV1Click); });

  // Until the start-up check has found the database there is nothing to
  // import into; 中止 is only for a run in progress.
  Button1->setEnabled(false);
  checkButton_->setEnabled(false);
  undoButton_->setEnabled(false);
  exportButton_->setEnabled(false);
  BitBtn1->setEnabled(false);
  ProgressBar1->lower();
}

// The data directory, the progress bar and the workbook list on the left.
void TFSYDbf::createFileControls() {
  Label2 = place(new QLabel(QStringLiteral("数据目录"), this), "Label2", 42, 13, 64, 16);
  DriveComboBox1 = place(new DriveComboBox(this), "DriveComboBox1", 9, 40, 144, 22);
  DirectoryListBox1 = place(new DirectoryListBox(this), "DirectoryListBox1", 8, 64, 145, 225);
  // Lies under the file list and the grid; it is raised while a run shows
  // its progress.
  ProgressBar1 = place(new QProgressBar(this), "ProgressBar1", 0, 616, 585, 16);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  FileListBox1 = place(new FileListBox(this), "FileListBox1", 8, 296, 145, 345);
}

// The two message panes, the append/overwrite choice and the run's buttons.
void TFSYDbf::createRunControls() {
  Label1 = place(new QLabel(QStringLiteral("导入信息"), this), "Label1", 160, 16, 64, 16);
  Memo1 = place(makePane(this), "Memo1", 160, 40, 265, 257);
  Label3 = place(new QLabel(QStringLiteral("错误信息"), this), "Label3", 432, 16, 64, 16);
  Memo2 = place(makePane(this), "Memo2", 432, 40, 273, 197);

  Panel1 = place(new QFrame(this), "Panel1", 432, 232, 65, 73);
  Panel1->setFrameShape(QFrame::NoFrame);
  RadioButton4 = place(new QRadioButton(QStringLiteral("追加"), Panel1), "RadioButton4", 8, 16, 57, 17);
  RadioButton5 = place(new QRadioButton(QStringLiteral("覆盖"), Panel1), "RadioButton5", 8, 44, 57, 17);
  RadioButton4->setChecked(true);

  Button1 = place(new QPushButton(QStringLiteral("导入"), this), "Button1", 515, 258, 57, 25);
  BitBtn1 = place(new QPushButton(QStringLiteral("中止"), this), "BitBtn1", 587, 258, 57, 25);
  Button2 = place(new QPushButton(QStringLiteral("退出"), this), "Button2", 651, 258, 57, 25);
  // In the free strip under 导入, so no control of the window moves.
  checkButton_ = place(new QPushButton(QStringLiteral("检查"), this), "checkButton", 515, 284, 57, 19);
  undoButton_ = place(new QPushButton(QStringLiteral("撤销导入…"), this), "undoButton", 587, 284, 121, 19);
  // In the free strip above 导入.
  exportButton_ = place(new QPushButton(QStringLiteral("导出…"), this), "exportButton", 515, 238, 57, 19);
}

// The personnel grid, the institution tree and the status bar.
void TFSYDbf::createViews() {
  DBGrid1 = place(new QTableView(this), "DBGrid1", 160, 304, 553, 337);
  personnel_ = std::make_unique<PersonnelGrid>(*DBGrid1);

  TV1 = place(new InstitutionTreeWidget(this), "TV1", kClientWidth - kTreeWidth, 0, kTreeWidth,
              kClientHeight - kStatusBarHeight);
  TV1->setFont(songFont(13));
  institutions_ = std::make_unique<InstitutionTreeView>(*TV1);

  StatusBar1 =
      place(new QStatusBar(this), "StatusBar1", 0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
  StatusBar1->setSizeGripEnabled(false);
  for (int i = 0; i < 2; ++i) {
    statusPanels_[i] = new QLabel(StatusBar1);
    statusPanels_[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
  }
  statusPanels_[0]->setFixedWidth(120);
  statusPanels_[1]->setMinimumWidth(50);
  StatusBar1->addWidget(statusPanels_[0]);
  StatusBar1->addWidget(statusPanels_[1], 1);  // the last panel reaches the right edge
}

// The controls the window keeps hidden: the 调入机构 button and the choice
// of personnel kind.
void TFSYDbf::createHiddenControls() {
  Button3 = place(new QPushButton(QStringLiteral("调入机构"), this), "Button3", 315, 586, 75, 25);
  Button3->hide();
  const char* hiddenNames[] = {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton6"};
  const QString hiddenCaptions[] = {QStringLiteral("普通人员"), QStringLiteral("教育"), QStringLiteral("卫生护理"),
                                    QStringLiteral("野外地质")};
  QRadioButton** hidden[] = {&RadioButton1, &RadioButton2, &RadioButton3, &RadioButton6};
  for (int i = 0; i < 4; ++i) {
    *hidden[i] = place(new QRadioButton(hiddenCaptions[i], this), hiddenNames[i], 233, 16 + 25 * i, 90, 17);
    (*hidden[i])->hide();
  }
  RadioButton1->setChecked(true);
}

void TFSYDbf::centreOnScreen() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r = frameGeometry();
    r.moveCenter(screen->availableGeometry().center());
    move(r.topLeft());
  }
}

void TFSYDbf::guarded(void (TFSYDbf::*handler)()) {
  runHandler(*setup_.boxes, this, [this, handler] { (this->*handler)(); });
}

db::Connection& TFSYDbf::database() {
  if (!ADOConnection1) {
    // A database without the tables and columns the tree and the grid read
    // is refused with a message naming what is missing. What only an import
    // writes is checked when a run starts, so such a database can still be
    // browsed.
    std::unique_ptr<db::Connection> opened = db::openDatabase(setup_.database.toStdString());
    db::requireSchema(*opened, db::SchemaUse::PersonnelView);
    ADOConnection1 = std::move(opened);
  }
  return *ADOConnection1;
}

bool TFSYDbf::databaseFileExists() const {
  // A server database has no file here; its connection is checked on use.
  if (setup_.database.startsWith(QLatin1String("postgresql://")) || setup_.database.startsWith(QLatin1String("odbc:")))
    return true;
  return QFileInfo::exists(setup_.database);
}

void TFSYDbf::Timer1Timer() {
  Timer1->stop();
  if (!databaseFileExists()) {
    setup_.boxes->show(this, QStringLiteral("文件(gzgl.dat)丢失,或运行目录不正确!"), QStringLiteral("文件丢失错误"),
                       BoxIcon::None);
    emit quitRequested(0);
    return;
  }
  Button1->setEnabled(true);
  checkButton_->setEnabled(true);
  undoButton_->setEnabled(true);
  exportButton_->setEnabled(true);
  loadInstitutionTree();
}

void TFSYDbf::loadInstitutionTree() { institutions_->load(database()); }

const tree::JGData* TFSYDbf::selectedRecord() const {
  const QList<QTreeWidgetItem*> selected = TV1->selectedItems();
  return selected.isEmpty() ? nullptr : institutions_->recordOf(selected.first());
}

void TFSYDbf::Button3Click() { loadInstitutionTree(); }

void TFSYDbf::TV1Click() {
  const tree::JGData* record = selectedRecord();
  if (!record) return;
  personnel_->open(database(), tree::departmentCode(*record));
  statusPanels_[0]->setText(personnel_->headCountText());
}

void TFSYDbf::refreshPersonnelView() {
  if (!personnel_->isOpen()) return;
  personnel_->refresh(database());
  statusPanels_[0]->setText(personnel_->headCountText());
}

void TFSYDbf::setRunState(bool running) {
  running_ = running;
  Button1->setEnabled(!running);
  checkButton_->setEnabled(!running);
  undoButton_->setEnabled(!running);
  exportButton_->setEnabled(!running);
  BitBtn1->setEnabled(running);
  Button2->setEnabled(!running);
  // The progress bar lies under the file list and the grid; it comes to
  // the front while a run moves it.
  if (running) ProgressBar1->raise();
  else ProgressBar1->lower();
}

void TFSYDbf::Button1Click() { startRun(false); }

void TFSYDbf::checkClick() { startRun(true); }

void TFSYDbf::undoClick() {
  if (running_) return;
  const TakeBackResult result =
      takeBackChosenRun(this, *setup_.boxes, {setup_.journalFile, setup_.database}, database());
  // The panes say what was done last, so an import's 数据导入成功! does not
  // stand for a run that is gone.
  if (!result.line.isEmpty()) {
    Memo1->appendPlainText(result.line);
    statusPanels_[1]->setText(result.line);
  }
  if (result.changed) refreshPersonnelView();
}

void TFSYDbf::exportClick() {
  if (running_) return;
  const tree::JGData* record = selectedRecord();
  if (!record) {
    setup_.boxes->show(this, QStringLiteral(" 请选择部门!"), QStringLiteral("错误"), BoxIcon::Error);
    return;
  }
  // As the grid shows it: the department and those below it, when it has any.
  const bool withBelow = TV1->selectedItems().first()->childCount() > 0;
  exportDepartmentClick(this, *setup_.boxes, database(), *record, withBelow, *Memo1);
}

void TFSYDbf::startRun(bool checkOnly) {
  // A click that arrives while a run lets events through must not start a
  // second run inside it.
  if (running_) return;
  if (!selectedRecord()) {
    setup_.boxes->show(this, QStringLiteral(" 请选择部门!"), QStringLiteral("错误"), BoxIcon::Error);
    return;
  }
  setRunState(true);
  // The buttons come back whichever way the run ends, an exception included.
  struct RestoreButtons {
    TFSYDbf* w;
    ~RestoreButtons() { w->setRunState(false); }
  } restore{this};
  ASetDmExecute();
  // 导入 in a check's preview imports as the check went.
  if (const std::optional<RunChoices> fromPreview = AInputExecute(checkOnly)) AInputExecute(false, &*fromPreview);
}

void TFSYDbf::ASetDmExecute() {
  const codes::DmLoadOutcome outcome = codes::loadDmFile(codeMap_);
  if (outcome.status == codes::DmLoadOutcome::Status::Missing)
    Memo2->appendPlainText(text::gb18030ToQString(codes::kDmFileMissingLine));
  for (std::size_t line : outcome.unreadableLines)
    Memo2->appendPlainText(text::gb18030ToQString(codes::dmUnreadableLine(line)));
}

imp::ImportRequest TFSYDbf::runRequest(const tree::JGData& record) {
  imp::ImportRequest request;
  request.departmentCode = tree::departmentCode(record);
  request.workbookPath = FileListBox1->selectedPath().toStdString();
  request.mode = RadioButton5->isChecked() ? imp::ImportMode::Overwrite : imp::ImportMode::Append;
  // The operator's other names for titles lie beside dm.txt, in the working directory.
  for (std::size_t line : imp::loadTitlesFile(request.titleNames, std::string(imp::kTitlesFileName)))
    Memo2->appendPlainText(QStringLiteral("标题文件titles.txt第%1行有无法识别的文字,未使用").arg(line));
  return request;
}

FrontendWidgets TFSYDbf::runWidgets() {
  FrontendWidgets widgets;
  widgets.window = this;
  widgets.importPane = Memo1;
  widgets.errorPane = Memo2;
  widgets.runStatePanel = statusPanels_[1];
  widgets.progressBar = ProgressBar1;
  return widgets;
}

std::optional<RunChoices> TFSYDbf::AInputExecute(bool checkOnly, const RunChoices* choices) {
  const tree::JGData* record = selectedRecord();
  if (!record) return std::nullopt;

  imp::ImportRequest request = runRequest(*record);
  imp::RowResults results;  // what a check shows in its preview
  if (checkOnly) request.results = &results;
  // A database lacking a table the run writes is refused by name before
  // anything is deleted or stored.
  db::Connection& conn = database();
  db::requireSchema(conn, db::SchemaUse::Import);

  // A check runs the whole import inside a transaction that is undone.
  std::optional<imp::DryRunConnection> check;
  if (checkOnly) check.emplace(conn);

  WindowFrontend frontend(runWidgets(), *setup_.boxes, abortFlag_);
  frontend.setCheckOnly(checkOnly);
  frontend.setTitlesFile(std::string(imp::kTitlesFileName), request.titleNames);
  if (choices) frontend.repeatChoices(*choices);
  const QFileInfo workbook(FileListBox1->selectedPath());
  frontend.suggestRejectsFile(workbook.dir().filePath(workbook.completeBaseName() + QStringLiteral("_未导入.xlsx")));
  // An encrypted workbook's password is asked for while the run opens it.
  // Asked once, though the run may open the workbook again for another sheet.
  const sheet::PasswordSource ask = sheet::rememberingPassword([this](const std::string& file, bool lastWasWrong) {
    const std::optional<QString> answer = setup_.boxes->askPassword(this, QString::fromStdString(file), lastWasWrong);
    return answer ? std::optional<std::string>(answer->toStdString()) : std::nullopt;
  });
  const imp::SheetOpener open = [&ask](const std::string& path, const sheet::SheetRequest& sheet) {
    return sheet::openWorkbookAskingPassword(path, ask, sheet);
  };
  // A run is written down ahead of its commits, so that 撤销导入… can take it back.
  JournalChoice journal;
  if (!checkOnly) {
    journal = journalRun(this, *setup_.boxes, {setup_.journalFile, setup_.database}, conn, request);
    if (!journal.start) return std::nullopt;
  }
  const imp::ImportOutcome outcome =
      imp::AInputExecute(check ? *check : conn, codeMap_, columnMap_, frontend, request, open);
  if (checkOnly) {
    frontend.flush();
    return previewCheck(outcome, results, frontend.choices());
  }

  // Only a run that went through rows, or failed part way, changed what the
  // grid shows.
  switch (outcome.end) {
    case imp::RunEnd::Completed:
    case imp::RunEnd::Aborted:
    case imp::RunEnd::Failed: refreshPersonnelView(); break;
    case imp::RunEnd::NoFile:
    case imp::RunEnd::WorkbookUnreadable:
    case imp::RunEnd::LayoutRejected:
    case imp::RunEnd::StartRowOutside:
    case imp::RunEnd::Cancelled:
    case imp::RunEnd::AlreadyRunning: break;
  }
  return std::nullopt;
}

std::optional<RunChoices> TFSYDbf::previewCheck(const imp::ImportOutcome& outcome, const imp::RowResults& results,
                                                const RunChoices& choices) {
  // Only a check that went through rows has rows to show.
  if (outcome.end != imp::RunEnd::Completed && outcome.end != imp::RunEnd::Aborted) return std::nullopt;
  const QString summary = text::gb18030ToQString(imp::checkDoneText(outcome));
  if (!setup_.boxes->showPreview(this, results, summary)) return std::nullopt;
  return choices;
}

void TFSYDbf::BitBtn1Click() { abortFlag_ = 1; }

void TFSYDbf::Button2Click() {
  exitClicked_ = true;
  close();
}

void TFSYDbf::closeEvent(QCloseEvent* event) {
  // The window has no close box, but not every window manager honours that:
  // only 退出 closes it, and never while a run is in progress.
  if (exitClicked_ && !running_) {
    event->accept();
  } else {
    exitClicked_ = false;
    event->ignore();
  }
}

}  // namespace gz::shell
