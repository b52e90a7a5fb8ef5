// 撤销导入…: a run chosen from this database's runs and taken back after the
// operator confirms, the grid shown again; and the button's place.
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

class UndoTests : public QObject {
  Q_OBJECT
 private slots:
  void runTakenBackOnlyWhenConfirmed() {
    struct Row {
      const char* name;
      bool confirm;
      int gridRows;        // people of 0102 afterwards
      const char* lastBox;  // taken back: also the status line and the import pane's last line
    };
    const Row rows[] = {
        {"cancelled", false, 6, "数据导入成功!提示10条"},
        {"confirmed", true, 1, "第1次导入已撤销。"},
    };
    for (const Row& row : rows) {
      WindowHarness h;
      h.openReadyToImport();
      h.addPerson("0102");
      h.child<QRadioButton>("RadioButton5")->setChecked(true);
      h.clickImport();
      h.clickNode("0102");
      QCOMPARE(h.gridColumn("xm").size(), 6);

      h.boxes().runToTakeBack = 0;
      h.boxes().confirm = row.confirm;
      const QString paneBefore = h.pane("Memo1")->toPlainText();
      const QString panelBefore = h.panel(1);
      QTest::mouseClick(h.button("undoButton"), Qt::LeftButton);
      QVERIFY2(h.boxes().runLists.size() == 1 && h.boxes().runLists[0].size() == 1, row.name);
      QVERIFY2(h.boxes().runLists[0][0].contains(QStringLiteral("覆盖")), row.name);
      QCOMPARE(h.boxes().confirmations.size(), 1);
      QCOMPARE(h.boxes().texts().last(), QString::fromUtf8(row.lastBox));
      if (row.confirm) {
        QCOMPARE(h.panel(1), QString::fromUtf8(row.lastBox));
        QCOMPARE(h.pane("Memo1")->toPlainText(), paneBefore + QLatin1Char('\n') + QString::fromUtf8(row.lastBox));
      } else {
        QCOMPARE(h.panel(1), panelBefore);
        QCOMPARE(h.pane("Memo1")->toPlainText(), paneBefore);
      }
      QCOMPARE(h.gridColumn("xm").size(), row.gridRows);
    }
  }

  // A run that cannot be taken back says so in the panes too.
  void aRefusalIsWrittenWhereTheImportsResultStood() {
    WindowHarness h;
    h.openReadyToImport();
    h.clickImport();
    h.boxes().runToTakeBack = 0;
    h.boxes().confirm = true;
    QTest::mouseClick(h.button("undoButton"), Qt::LeftButton);
    QCOMPARE(h.panel(1), QStringLiteral("第1次导入已撤销。"));
    QTest::mouseClick(h.button("undoButton"), Qt::LeftButton);  // the same run again
    const QString refused = h.boxes().texts().last();
    QVERIFY2(refused.contains(QStringLiteral("已经撤销过了")), qPrintable(refused));
    QCOMPARE(h.panel(1), QStringLiteral("撤销导入未完成:") + refused);
    QCOMPARE(h.pane("Memo1")->toPlainText().split('\n').last(), QStringLiteral("撤销导入未完成:") + refused);
  }

  // A journal that cannot be written: the operator decides whether to import
  // without one, told that the run cannot be taken back then.
  void runWithoutJournalOnlyWhenConfirmed() {
    struct Row {
      const char* name;
      bool confirm;
      int gridRows;  // people of 0102 afterwards
    };
    const Row rows[] = {{"cancelled", false, 0}, {"confirmed", true, 6}};
    for (const Row& row : rows) {
      WindowHarness h;
      h.openReadyToImport();
      QVERIFY(QDir(h.dir()).mkdir("journal.sqlite"));  // a folder where the journal file would be
      h.boxes().confirm = row.confirm;
      h.clickImport();
      QCOMPARE(h.boxes().confirmations.size(), 1);
      QVERIFY2(h.boxes().confirmations[0].contains(QStringLiteral("这次导入以后不能撤销")), row.name);
      h.clickNode("0102");
      QCOMPARE(h.gridColumn("xm").size(), row.gridRows);
    }
  }

  void nothingToTakeBackIsSaid() {
    WindowHarness h;
    h.openReadyToImport();
    QTest::mouseClick(h.button("undoButton"), Qt::LeftButton);
    QCOMPARE(h.boxes().texts(), QStringList{QStringLiteral("这个数据库没有记录可以撤销的导入。")});
    QVERIFY(h.boxes().runLists.empty());
  }

  void undoButtonOverlapsNoOtherControl() {
    WindowHarness h;
    TFSYDbf& w = h.open();
    const QPushButton* undo = h.button("undoButton");
    QCOMPARE(undo->text(), QStringLiteral("撤销导入…"));
    for (const QWidget* other : w.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (other == undo || !other->isVisible()) continue;
      QVERIFY2(!other->geometry().intersects(undo->geometry()), qPrintable(other->objectName()));
    }
  }
};

}  // namespace

QObject* makeUndoTests() { return new UndoTests; }

}  // namespace gz::shell::testing

#include "undo_tests.moc"
