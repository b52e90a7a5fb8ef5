// Start-up: the database check, the tree it loads, and closing the window.
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

class StartupTests : public QObject {
  Q_OBJECT
 private slots:
  void withoutDatabaseShowsBoxThenQuitsWithStatus0() {
    WindowHarness h;
    h.open();
    const auto& shown = h.boxes().shown();
    // The connection's own error first, then the missing-file box.
    QCOMPARE(shown.size(), std::size_t{2});
    QCOMPARE(shown[0].icon, BoxIcon::Error);
    QVERIFY2(!shown[0].text.isEmpty(), "the connection error says what failed");
    QCOMPARE(shown[1].text, QStringLiteral("文件(gzgl.dat)丢失,或运行目录不正确!"));
    QCOMPARE(shown[1].caption, QStringLiteral("文件丢失错误"));
    QCOMPARE(shown[1].icon, BoxIcon::None);
    QCOMPARE(h.quitStatus(), 0);
    QCOMPARE(h.tree()->topLevelItemCount(), 0);
    QVERIFY(!h.button("Button1")->isEnabled());
  }

  void withDatabaseLoadsExpandedTreeAndEnablesImport() {
    WindowHarness h;
    h.makeDatabase();
    h.open();
    QVERIFY2(h.boxes().shown().empty(), qPrintable(h.boxes().texts().join('|')));
    QCOMPARE(h.quitStatus(), -1);
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));

    QTreeWidget* t = h.tree();
    QCOMPARE(t->topLevelItemCount(), 2);
    QCOMPARE(t->topLevelItem(0)->text(0), QStringLiteral("市财政局_01"));
    QCOMPARE(t->topLevelItem(0)->childCount(), 2);
    QCOMPARE(t->topLevelItem(0)->child(1)->text(0), QStringLiteral("预算科_0102"));
    QCOMPARE(t->topLevelItem(1)->child(0)->text(0), QStringLiteral("第一中学_0201"));
    for (int i = 0; i < t->topLevelItemCount(); ++i) QVERIFY(t->topLevelItem(i)->isExpanded());
    QCOMPARE(t->topLevelItem(0)->flags() & Qt::ItemIsEditable, Qt::ItemFlags());
  }

  void buttonsBeforeTheStartupCheck() {
    WindowHarness h;
    h.makeDatabase();
    WindowSetup setup;
    setup.boxes = &h.boxes();
    setup.database = h.path("gzgl.mdb");
    setup.startupCheckDelayMs = 60000;
    TFSYDbf w(setup);
    auto* import = w.findChild<QPushButton*>("Button1");
    auto* abort = w.findChild<QPushButton*>("BitBtn1");
    auto* exit = w.findChild<QPushButton*>("Button2");
    QVERIFY(!import->isEnabled());
    QVERIFY(!abort->isEnabled());
    QVERIFY(exit->isEnabled());
  }

  void reloadButtonRebuildsTheTreeFromTheDatabase() {
    WindowHarness h;
    h.makeDatabase();
    h.open();
    h.execute("insert into dm_jg (id, upid, px, jgdm, jgmc, jgjb) values (6, 4, 6, '0202', 'x', '1')");
    QVERIFY(!h.node("0202"));
    h.button("Button3")->click();
    QVERIFY(h.node("0202"));
    QVERIFY(h.node("0202")->parent() == h.node("02"));
    // An emptied table leaves the tree as it was.
    h.execute("delete from dm_jg");
    h.button("Button3")->click();
    QVERIFY(h.node("0202"));
    QVERIFY(h.boxes().shown().empty());
  }

  void onlyExitClosesTheWindow() {
    WindowHarness h;
    h.makeDatabase();
    TFSYDbf& w = h.open();
    QVERIFY(!w.close());  // the window manager's close box, where it shows one
    QVERIFY(w.isVisible());
    QTest::mouseClick(h.button("Button2"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
  }

  void windowIsFixedAndHasNoCloseBox() {
    WindowHarness h;
    h.makeDatabase();
    TFSYDbf& w = h.open();
    QCOMPARE(w.windowTitle(), QStringLiteral("从(xls)数据导入qj"));
    QCOMPARE(w.minimumSize(), QSize(982, 664));
    QCOMPARE(w.maximumSize(), QSize(982, 664));
    const Qt::WindowFlags f = w.windowFlags();
    QVERIFY(f & Qt::CustomizeWindowHint);
    QVERIFY(!(f & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowSystemMenuHint)));
  }
};

}  // namespace

QObject* makeStartupTests() { return new StartupTests; }

}  // namespace gz::shell::testing

#include "startup_tests.moc"
