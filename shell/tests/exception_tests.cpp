// The exception display: an exception that leaves a handler is shown, and
// the window goes on in the state the handler left.
#include <QEvent>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <stdexcept>

#include "db/open_database.h"
#include "shell/exception_display.h"
#include "shell/gui_application.h"
#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

class Throwing : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("数据库连接中断");
    return QObject::event(e);
  }
};

class ExceptionTests : public QObject {
  Q_OBJECT
 private slots:
  void exceptionTextsAreShownAsTheyCame() {
    auto text = [](auto thrown) {
      try {
        throw thrown;
      } catch (...) {
        return exceptionText(std::current_exception());
      }
    };
    QCOMPARE(text(std::runtime_error("表 ryjbxx 不存在")), QStringLiteral("表 ryjbxx 不存在"));
    // GBK text from inside the core: "错误"
    QCOMPARE(text(std::runtime_error("\xB4\xED\xCE\xF3")), QStringLiteral("错误"));
    QCOMPARE(text(42), QString());
  }

  void applicationShowsEscapedExceptionsAndGoesOn() {
    auto* app = static_cast<GuiApplication*>(QCoreApplication::instance());
    RecordingMessageBoxes boxes;
    app->setMessageBoxes(&boxes);
    Throwing target;
    QEvent e(QEvent::User);
    QCOMPARE(QCoreApplication::sendEvent(&target, &e), false);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("数据库连接中断")});
    QCOMPARE(boxes.shown()[0].icon, BoxIcon::Error);
    QEvent other(static_cast<QEvent::Type>(QEvent::User + 1));
    QCoreApplication::sendEvent(&target, &other);  // the application goes on
    QCOMPARE(boxes.shown().size(), std::size_t{1});
    QtMessageBoxes real;
    app->setMessageBoxes(&real);
  }

  void failedTreeClickIsShownAndLeavesTheGridClosed() {
    WindowHarness h;
    h.makeDatabase();
    h.open();
    h.clickNode("01");
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
    h.execute("drop table ryjbxx");
    h.clickNode("0101");
    QCOMPARE(h.boxes().shown().size(), std::size_t{1});
    QCOMPARE(h.boxes().shown()[0].icon, BoxIcon::Error);
    QVERIFY(h.boxes().shown()[0].text.contains(QStringLiteral("ryjbxx")));
    QCOMPARE(h.grid()->model()->rowCount(), 0);
    QCOMPARE(h.panel(0), QStringLiteral("0人"));  // kept from the last good click
    // The window goes on: the next handler runs normally.
    h.clickImport();
    QCOMPARE(h.boxes().shown().size(), std::size_t{2});
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
  }

  void failedTreeReloadKeepsTheNodesAndTheirRecords() {
    WindowHarness h;
    h.makeDatabase();
    h.open();
    h.execute("alter table dm_jg rename to dm_jg_old");
    h.button("Button3")->click();
    QCOMPARE(h.boxes().shown().size(), std::size_t{1});
    QVERIFY(h.boxes().shown()[0].text.contains(QStringLiteral("dm_jg")));
    // The nodes of the last good load still carry their records.
    QVERIFY(h.node("0201"));
    h.clickNode("0201");
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
    QCOMPARE(h.boxes().shown().size(), std::size_t{1});
  }

  void unreachableServerIsShownWithoutTheMissingFileBox() {
    WindowHarness h;
    WindowSetup setup;
    setup.boxes = &h.boxes();
    setup.database = QStringLiteral("postgresql://nobody@127.0.0.1:1/none");
    setup.startupCheckDelayMs = 0;
    TFSYDbf w(setup);
    bool quit = false;
    QObject::connect(&w, &TFSYDbf::quitRequested, [&] { quit = true; });
    QVERIFY(QTest::qWaitFor([&] { return h.boxes().shown().size() >= 2; }, 10000));
    // At creation, and when the start-up check loads the tree.
    QCOMPARE(h.boxes().shown().size(), std::size_t{2});
    for (const ShownBox& b : h.boxes().shown()) QCOMPARE(b.icon, BoxIcon::Error);
    QVERIFY(!quit);
    QVERIFY(w.findChild<QPushButton*>("Button1")->isEnabled());
  }

  void unreadableDatabaseIsShownAndTheWindowStillOpens() {
    WindowHarness h;
    QFile f(h.path("gzgl.mdb"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a database");
    f.close();
    h.open();
    // Shown at creation, and again when the start-up check loads the tree.
    QCOMPARE(h.boxes().shown().size(), std::size_t{2});
    QCOMPARE(h.boxes().shown()[0].icon, BoxIcon::Error);
    QCOMPARE(h.boxes().shown()[1].text, h.boxes().shown()[0].text);
    QVERIFY(h.window().isVisible());
    QCOMPARE(h.quitStatus(), -1);
    QVERIFY(h.button("Button1")->isEnabled());
    QCOMPARE(h.tree()->topLevelItemCount(), 0);
  }

  void databaseWithoutTheTablesTheWindowReadsIsRefusedByName() {
    WindowHarness h;
    db::createSqliteDatabase(h.path("gzgl.mdb").toStdString())->execute({"create table other (x integer)", {}});
    h.open();
    QCOMPARE(h.boxes().shown().size(), std::size_t{2});
    const QString text = h.boxes().shown()[0].text;
    QVERIFY2(text.contains(QStringLiteral("dm_jg")) && text.contains(QStringLiteral("ryjbxx")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("ryxl")), qPrintable(text));  // only an import needs it
    QCOMPARE(h.tree()->topLevelItemCount(), 0);
  }

  void databaseWithoutATableOnlyTheImportNeedsRefusesTheRunByName() {
    WindowHarness h;
    h.makeDatabase();
    h.execute("drop table rygzbhb");
    h.copyWorkbook(h.dir());
    h.open();
    QVERIFY2(h.boxes().shown().empty(), qPrintable(h.boxes().texts().join('|')));
    QVERIFY(h.node("0102"));
    h.clickNode("0102");
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
    QVERIFY(h.grid()->model());

    h.selectWorkbook("staff.xls");
    h.clickImport();
    QCOMPARE(h.boxes().shown().size(), std::size_t{1});
    QCOMPARE(h.boxes().shown()[0].icon, BoxIcon::Error);
    QVERIFY2(h.boxes().shown()[0].text.contains(QStringLiteral("rygzbhb")), qPrintable(h.boxes().shown()[0].text));
    QVERIFY(h.pane("Memo1")->toPlainText().isEmpty());  // no run started
    h.clickNode("0102");
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
  }

  void failedCodeFileLoadStopsTheRunAndRestoresButtons() {
    WindowHarness h;
    h.openReadyToImport(/*withCodes=*/false);
    // A code file that is there but cannot be read: a link to itself.
    std::filesystem::create_symlink("dm.txt", h.path("dm.txt").toStdString());
    h.clickImport();
    QCOMPARE(h.boxes().shown().size(), std::size_t{1});
    QCOMPARE(h.boxes().shown()[0].icon, BoxIcon::Error);
    QVERIFY(h.boxes().shown()[0].text.contains(QStringLiteral("dm.txt")));
    QCOMPARE(h.panel(0), QStringLiteral("0人"));  // the run did not start
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
  }
};

}  // namespace

QObject* makeExceptionTests() { return new ExceptionTests; }

}  // namespace gz::shell::testing

#include "exception_tests.moc"
