// 检查: the whole import run with nothing written, ending with what an
// import would store; and the button's place beside 导入.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

class CheckTests : public QObject {
  Q_OBJECT
 private slots:
  void checkWritesNothingAndSaysWhatAnImportWould() {
    WindowHarness h;
    h.openReadyToImport();
    h.addPerson("0102");
    // Overwrite: even the deletion of the department's people is undone.
    h.child<QRadioButton>("RadioButton5")->setChecked(true);
    QTest::mouseClick(h.button("checkButton"), Qt::LeftButton);

    const QString done = QStringLiteral("将导入6人,未导入0行,提示10条");
    QCOMPARE(h.boxes().texts(), QStringList{done});
    QCOMPARE(h.panel(1), done);
    const QStringList errors = h.pane("Memo2")->toPlainText().split('\n');
    QVERIFY(errors.contains(QStringLiteral("第2行:张伟:身份证号\"110101196803011234\"校验码不对,末位应为5")));
    QVERIFY(errors.contains(QStringLiteral("第4行:李娜:身份证号\"110101198005091111\"表示男性,与性别\"2\"不符")));
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
    QVERIFY(h.button("checkButton")->isEnabled());

    h.clickNode("0102");
    QCOMPARE(h.gridColumn("xm"), QStringList{QStringLiteral("x")});

    // The import itself then stores what the check announced.
    h.clickImport();
    QCOMPARE(h.boxes().texts().last(), QStringLiteral("数据导入成功!提示10条"));
    QCOMPARE(h.gridColumn("xm").size(), 6);
  }

  void checkButtonOverlapsNoOtherControl() {
    WindowHarness h;
    TFSYDbf& w = h.open();
    const QPushButton* check = h.button("checkButton");
    QCOMPARE(check->text(), QStringLiteral("检查"));
    QCOMPARE(h.button("Button1")->geometry(), QRect(515, 258, 57, 25));
    for (const QWidget* other : w.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (other == check || !other->isVisible()) continue;
      QVERIFY2(!other->geometry().intersects(check->geometry()), qPrintable(other->objectName()));
    }
  }
};

}  // namespace

QObject* makeCheckTests() { return new CheckTests; }

}  // namespace gz::shell::testing

#include "check_tests.moc"
