#include "window_harness.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "db/connection.h"
#include "db/open_database.h"
#include "db/payroll/schema.h"
#include "shell/choosers.h"
#include "text/gb18030.h"

namespace gz::shell::testing {

namespace {
const QString kDataDir = QStringLiteral(GZ_SOURCE_DIR "/shell/tests/data");

struct Institution {
  int id, upid;
  const char* jgdm;
  const char* jgmc;
};
const Institution kInstitutions[] = {
    {1, 0, "01", "市财政局"}, {2, 1, "0101", "办公室"},   {3, 1, "0102", "预算科"},
    {4, 0, "02", "市教育局"}, {5, 4, "0201", "第一中学"},
};

std::string gbk(const char* utf8) { return text::qStringToGb18030(QString::fromUtf8(utf8)); }
}  // namespace

WindowHarness::WindowHarness() : startDir_(QDir::currentPath()) { QDir::setCurrent(tmp_.path()); }

WindowHarness::~WindowHarness() {
  window_.reset();
  QDir::setCurrent(startDir_);
}

void WindowHarness::makeDatabase() {
  auto conn = db::createSqliteDatabase(path("gzgl.mdb").toStdString());
  db::createSchema(*conn);
  for (const Institution& i : kInstitutions) {
    conn->execute(
        {"insert into dm_jg (id, upid, px, jgdm, jgmc, jgjb) values (?, ?, ?, ?, ?, ?)",
         {int64_t{i.id}, int64_t{i.upid}, int64_t{i.id}, std::string(i.jgdm), gbk(i.jgmc), std::string("1")}});
  }
}

void WindowHarness::copyWorkbook(const QString& folder, bool withCodes) {
  QDir().mkpath(folder);
  QFile::copy(kDataDir + "/staff.xls", QDir(folder).filePath("staff.xls"));
  if (withCodes) QFile::copy(kDataDir + "/dm.txt", QDir(folder).filePath("dm.txt"));
}

void WindowHarness::execute(const std::string& sql) {
  db::openDatabase(path("gzgl.mdb").toStdString())->execute({sql, {}});
}

TFSYDbf& WindowHarness::open() {
  WindowSetup setup;
  setup.boxes = &boxes_;
  setup.database = path("gzgl.mdb");
  setup.startupCheckDelayMs = 0;
  setup.journalFile = path("journal.sqlite").toStdString();
  window_ = std::make_unique<TFSYDbf>(setup);
  QObject::connect(window_.get(), &TFSYDbf::quitRequested, [this](int status) { quitStatus_ = status; });
  window_->show();
  // The start-up check has run once the timer is inactive.
  QTimer* timer = child<QTimer>("Timer1");
  if (!QTest::qWaitFor([timer] { return !timer->isActive(); }, 5000))
    qWarning("the start-up check did not run within 5 s");
  return *window_;
}

TFSYDbf& WindowHarness::openReadyToImport(bool withCodes) {
  makeDatabase();
  copyWorkbook(dir(), withCodes);
  TFSYDbf& w = open();
  clickNode("0102");
  selectWorkbook("staff.xls");
  return w;
}

QTreeWidget* WindowHarness::tree() const { return child<QTreeWidget>("TV1"); }

QTreeWidgetItem* WindowHarness::node(const QString& code) const {
  const QList<QTreeWidgetItem*> found =
      tree()->findItems(QLatin1Char('_') + code, Qt::MatchEndsWith | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

QPushButton* WindowHarness::button(const char* name) const { return child<QPushButton>(name); }
QPlainTextEdit* WindowHarness::pane(const char* name) const { return child<QPlainTextEdit>(name); }
QTableView* WindowHarness::grid() const { return child<QTableView>("DBGrid1"); }

QString WindowHarness::panel(int i) const {
  return child<QLabel>(i == 0 ? "StatusBar1Panel0" : "StatusBar1Panel1")->text();
}

ButtonStates WindowHarness::buttonStates() const {
  return {button("Button1")->isEnabled(), button("BitBtn1")->isEnabled(), button("Button2")->isEnabled()};
}

void WindowHarness::clickNode(const QString& code, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
  QTreeWidgetItem* item = node(code);
  QVERIFY2(item, qPrintable("no node " + code));
  QTreeWidget* t = tree();
  t->scrollToItem(item);
  QTest::mouseClick(t->viewport(), button, keys, t->visualItemRect(item).center());
}

void WindowHarness::clickBelowTheNodes(Qt::MouseButton button) {
  QWidget* v = tree()->viewport();
  const QPoint below(v->width() / 2, v->height() - 5);
  QVERIFY(!tree()->itemAt(below));
  QTest::mouseClick(v, button, {}, below);
}

QString WindowHarness::selectedCode() const {
  const QList<QTreeWidgetItem*> selected = tree()->selectedItems();
  if (selected.isEmpty()) return {};
  const QString text = selected.first()->text(0);
  return text.mid(text.lastIndexOf(QLatin1Char('_')) + 1);
}

void WindowHarness::addPerson(const char* departmentCode) {
  execute(std::string("insert into ryjbxx (bm, xm) values ('") + departmentCode + "', 'x')");
}

void WindowHarness::showFolder(const QString& folder) {
  QVERIFY(child<DirectoryListBox>("DirectoryListBox1")->setDirectory(folder));
}

void WindowHarness::selectWorkbook(const QString& name) {
  QVERIFY2(child<FileListBox>("FileListBox1")->selectFile(name), qPrintable(name));
}

void WindowHarness::clickImport() { QTest::mouseClick(button("Button1"), Qt::LeftButton); }

QStringList WindowHarness::gridColumn(const char* column) const {
  const QAbstractItemModel* m = grid()->model();
  int c = 0;
  while (c < m->columnCount() && m->headerData(c, Qt::Horizontal).toString() != QLatin1String(column)) ++c;
  QStringList values;
  for (int r = 0; r < m->rowCount(); ++r) values << m->index(r, c).data().toString();
  return values;
}

}  // namespace gz::shell::testing
