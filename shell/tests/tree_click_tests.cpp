// Clicks and keys on the institution tree: once a node is selected, one
// stays selected; a primary-button click re-queries the grid for it.
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

class TreeClickTests : public QObject {
  Q_OBJECT
 private slots:
  void clickBesideTheNodesKeepsTheSelectionAndRequeries() {
    WindowHarness h;
    h.makeDatabase();
    h.open();
    h.clickBelowTheNodes();  // nothing selected yet: nothing to show
    QCOMPARE(h.selectedCode(), QString());
    QCOMPARE(h.panel(0), QString());

    h.clickNode("0102");
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
    h.addPerson("0102");
    h.clickBelowTheNodes();
    QCOMPARE(h.selectedCode(), QStringLiteral("0102"));
    QCOMPARE(h.panel(0), QStringLiteral("1人"));

    // Pressed on a node and released beside the nodes: the node is selected.
    QTreeWidget* t = h.tree();
    QWidget* v = t->viewport();
    QTest::mousePress(v, Qt::LeftButton, {}, t->visualItemRect(h.node("0201")).center());
    QTest::mouseMove(v, QPoint(v->width() / 2, v->height() - 5));
    QTest::mouseRelease(v, Qt::LeftButton, {}, QPoint(v->width() / 2, v->height() - 5));
    QCOMPARE(h.selectedCode(), QStringLiteral("0201"));
    QCOMPARE(h.panel(0), QStringLiteral("0人"));

    // 导入 still has its department.
    h.clickImport();
    QCOMPARE(h.boxes().texts(), QStringList{QStringLiteral("未选择导入文件!")});
  }

  void clicksWithCtrlOrShiftNeverChangeTheSelection() {
    for (Qt::KeyboardModifier key : {Qt::ControlModifier, Qt::ShiftModifier}) {
      WindowHarness h;
      h.makeDatabase();
      h.open();
      h.clickNode("0102");
      h.addPerson("0102");
      h.clickNode("0102", Qt::LeftButton, key);
      QCOMPARE(h.selectedCode(), QStringLiteral("0102"));
      QCOMPARE(h.panel(0), QStringLiteral("1人"));  // the click still re-queried
      h.clickNode("0201", Qt::LeftButton, key);
      QCOMPARE(h.selectedCode(), QStringLiteral("0102"));
      QCOMPARE(h.panel(0), QStringLiteral("1人"));
    }
  }

  void otherButtonsNeitherSelectNorRequery() {
    WindowHarness h;
    h.makeDatabase();
    h.open();
    h.clickNode("0102");
    h.addPerson("0102");
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
      h.clickNode("0201", button);
      QCOMPARE(h.selectedCode(), QStringLiteral("0102"));
      h.clickBelowTheNodes(button);
      QCOMPARE(h.selectedCode(), QStringLiteral("0102"));
    }
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
    // The next primary click goes on from the node still selected.
    h.clickNode("0102");
    QCOMPARE(h.panel(0), QStringLiteral("1人"));
  }

  void keysMoveTheSelectionWithoutRequeryingButNeverClearIt() {
    WindowHarness h;
    h.makeDatabase();
    h.open();
    h.clickNode("0101");
    h.addPerson("0102");
    QTest::keyClick(h.tree(), Qt::Key_Down);
    QCOMPARE(h.selectedCode(), QStringLiteral("0102"));
    QCOMPARE(h.panel(0), QStringLiteral("0人"));  // still 0101's view
    QTest::keyClick(h.tree(), Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(h.selectedCode(), QStringLiteral("0102"));
  }
};

}  // namespace

QObject* makeTreeClickTests() { return new TreeClickTests; }

}  // namespace gz::shell::testing

#include "tree_click_tests.moc"
