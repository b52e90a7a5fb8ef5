// How the window tells the ends of a run that are not plain success: in
// which pane each line goes, which boxes open with which caption, and what
// the run-state panel says.
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

QString lastLine(const QPlainTextEdit* pane) { return pane->toPlainText().split('\n').last(); }

class RunEndTests : public QObject {
  Q_OBJECT
 private slots:
  void unreadableWorkbookIsOneLineAndOneBoxNamingTheFileOnce() {
    WindowHarness h;
    h.makeDatabase();
    QFile garbage(h.path("bad.xls"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a workbook");
    garbage.close();
    h.open();
    h.clickNode("0102");
    h.showFolder(h.dir());
    h.selectWorkbook("bad.xls");
    h.clickImport();
    const QString message = lastLine(h.pane("Memo1"));
    QVERIFY2(message.startsWith(QStringLiteral("不能读取工作簿 ")), qPrintable(message));
    QVERIFY(message.endsWith(QStringLiteral("bad.xls: 不是Excel工作簿")));
    QCOMPARE(message.count(QStringLiteral("bad.xls")), 1);
    QCOMPARE(h.boxes().texts(), QStringList{message});
    QCOMPARE(h.boxes().shown()[0].caption, QStringLiteral("失败"));
    QCOMPARE(h.panel(1), QString());
  }

  void rejectedLayoutIsOneLineWithoutABox() {
    WindowHarness h;
    h.makeDatabase();
    QVERIFY(QFile::copy(QStringLiteral(GZ_TEST_DATA "/import/layout_rejected.xls"), h.path("layout.xls")));
    h.open();
    h.clickNode("0102");
    h.showFolder(h.dir());
    h.selectWorkbook("layout.xls");
    h.clickImport();
    QCOMPARE(h.pane("Memo1")->toPlainText(),
             QStringLiteral("XLS数据格式不配置!不能导入\n第1行缺少所需的标题: 个人身份"));
    QVERIFY(h.boxes().shown().empty());
    QCOMPARE(h.panel(1), QString());
  }

  void rowsNotStoredAreNamedInTheErrorPaneAndCounted() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir());
    QVERIFY(QFile::copy(QStringLiteral(GZ_TEST_DATA "/import/people.xls"), h.path("people.xls")));
    h.open();
    h.clickNode("0102");
    h.selectWorkbook("people.xls");
    h.clickImport();
    QVERIFY(h.pane("Memo2")->toPlainText().split('\n').contains(
        QStringLiteral("第3行:李四:出生年月\"19x3\"不是日期,此人未导入")));
    QVERIFY(lastLine(h.pane("Memo1")).startsWith(QStringLiteral("导入人员2人,未导入1行,")));
    QCOMPARE(h.boxes().texts(), QStringList{QStringLiteral("数据导入完成,1行未导入!")});
    QCOMPARE(h.boxes().shown()[0].caption, QStringLiteral("提示"));
    QCOMPARE(h.panel(1), QStringLiteral("数据导入完成,1行未导入!"));
  }
};

}  // namespace

QObject* makeRunEndTests() { return new RunEndTests; }

}  // namespace gz::shell::testing

#include "run_end_tests.moc"
