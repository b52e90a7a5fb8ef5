// Import by clicks: the department check, a whole run with the grid and the
// head count refreshed, 中止 during a run, and the buttons around runs.
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <future>
#include <thread>

#include "db/connection.h"
#include "db/open_database.h"
#include "tests.h"
#include "text/gb18030.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

const QStringList kStaff = {QStringLiteral("张伟"), QStringLiteral("王芳"), QStringLiteral("李娜"),
                            QStringLiteral("刘洋"), QStringLiteral("陈静"), QStringLiteral("杨军")};

// The error pane's lines that say the code file is missing.
int missingCodeFileLines(const QString& pane) { return pane.split('\n').count(QStringLiteral("代码文件dm.txt不存在")); }

class ImportTests : public QObject {
  Q_OBJECT
 private slots:
  void importWithoutDepartmentAsksForOne() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir(), /*withCodes=*/false);
    h.open();
    h.selectWorkbook("staff.xls");
    h.clickImport();
    QCOMPARE(h.boxes().shown().size(), std::size_t{1});
    QCOMPARE(h.boxes().shown()[0].text, QStringLiteral(" 请选择部门!"));
    QCOMPARE(h.boxes().shown()[0].caption, QStringLiteral("错误"));
    QCOMPARE(h.boxes().shown()[0].icon, BoxIcon::Error);
    // Nothing ran: no code file was looked for, nothing was written.
    QVERIFY(h.pane("Memo1")->toPlainText().isEmpty());
    QVERIFY(h.pane("Memo2")->toPlainText().isEmpty());
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
  }

  void wholeImportRefreshesGridAndHeadCount() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir());
    h.open();
    h.clickNode("0102");
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
    QCOMPARE(h.grid()->model()->rowCount(), 0);

    h.selectWorkbook("staff.xls");
    ButtonStates during{};
    int progressWhenDone = -1;
    h.boxes().onShow = [&](const ShownBox&) {
      during = h.buttonStates();
      progressWhenDone = h.child<QProgressBar>("ProgressBar1")->value();
    };
    h.clickImport();

    QCOMPARE(h.boxes().texts(), QStringList{QStringLiteral("数据导入成功!提示10条")});
    QCOMPARE(h.boxes().shown()[0].caption, QStringLiteral("提示"));
    QCOMPARE(during, (ButtonStates{false, true, false}));
    QCOMPARE(progressWhenDone, 100);
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
    QCOMPARE(h.panel(0), QStringLiteral("6人"));
    QCOMPARE(h.panel(1), QStringLiteral("数据导入成功!提示10条"));
    QCOMPARE(h.gridColumn("xm"), kStaff);
    QCOMPARE(h.gridColumn("mz").first(), QStringLiteral("01"));  // 汉族 through dm.txt
    QCOMPARE(h.gridColumn("csny").first(), QStringLiteral("1968-3-1"));

    const QStringList lines = h.pane("Memo1")->toPlainText().split('\n');
    QCOMPARE(lines.value(0), QStringLiteral("XLS相配置!准备导入"));
    QCOMPARE(lines.mid(1, 6), kStaff);
  }

  void gridShowsTheClickedDepartmentAfterARunElsewhere() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir());
    h.open();
    h.clickNode("01");  // the view shows 01 and everything below it
    h.tree()->setCurrentItem(h.node("0201"));  // selection moved without a click
    h.selectWorkbook("staff.xls");
    h.clickImport();
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
    h.clickNode("02");
    QCOMPARE(h.panel(0), QStringLiteral("6人"));
  }

  void abortFinishesTheRowThenReportsBoth() {
    WindowHarness h;
    h.openReadyToImport();
    // The click reaches the window at the run's first pass through the event loop.
    QTimer::singleShot(0, h.button("BitBtn1"), [&] { QTest::mouseClick(h.button("BitBtn1"), Qt::LeftButton); });
    QStringList panelWhenShown;
    h.boxes().onShow = [&](const ShownBox&) { panelWhenShown << h.panel(1); };
    h.clickImport();

    // The closing box says where to go on from.
    QCOMPARE(h.boxes().texts(),
             (QStringList{QStringLiteral("用户中止!"), QStringLiteral("数据导入成功!提示1条\n请从第3行继续导入")}));
    QCOMPARE(panelWhenShown, (QStringList{QStringLiteral("用户中止!"), QStringLiteral("数据导入成功!提示1条")}));
    QCOMPARE(h.gridColumn("xm"), QStringList{kStaff.first()});  // the current row finished
    QCOMPARE(h.panel(0), QStringLiteral("1人"));
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
  }

  void laterRunsCanStillBeStopped() {
    WindowHarness h;
    h.openReadyToImport();
    h.boxes().duplicateAnswer = imp::DuplicateAnswer::ImportAll;  // the same workbook twice, on purpose
    h.clickImport();
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));

    QTimer::singleShot(0, h.button("BitBtn1"), [&] { h.button("BitBtn1")->click(); });
    h.boxes().clear();
    h.clickImport();
    QCOMPARE(h.boxes().texts().value(0), QStringLiteral("用户中止!"));
    QCOMPARE(h.panel(0), QStringLiteral("7人"));
  }

  void secondImportClickDuringARunStartsNothing() {
    WindowHarness h;
    h.openReadyToImport();
    bool tried = false;
    QTimer::singleShot(0, h.button("Button1"), [&] {
      tried = true;
      h.clickImport();                       // the button is disabled
      emit h.button("Button1")->clicked();  // and its handler refuses a nested run
    });
    h.clickImport();
    QVERIFY(tried);
    QCOMPARE(h.boxes().texts(), QStringList{QStringLiteral("数据导入成功!提示10条")});
    QCOMPARE(h.panel(0), QStringLiteral("6人"));
  }

  void exitIsRefusedDuringARun() {
    WindowHarness h;
    TFSYDbf& w = h.openReadyToImport();
    bool closedDuringRun = true;
    QTimer::singleShot(0, &w, [&] {
      h.button("Button2")->click();  // disabled: nothing happens
      emit h.button("Button2")->clicked();  // its handler cannot close during a run
      closedDuringRun = !w.isVisible();
      closedDuringRun = closedDuringRun || w.close();  // the window manager's close
    });
    h.clickImport();
    QVERIFY(!closedDuringRun);
    QVERIFY(w.isVisible());
    QCOMPARE(h.panel(0), QStringLiteral("6人"));
  }

  void overwriteReplacesTheDepartmentsPeople() {
    WindowHarness h;
    h.openReadyToImport();
    h.clickImport();
    h.child<QRadioButton>("RadioButton5")->click();
    h.clickImport();
    QCOMPARE(h.panel(0), QStringLiteral("6人"));
    QVERIFY(h.pane("Memo1")->toPlainText().contains(QStringLiteral("正在删除旧数据!")));
  }

  void runsThatTouchNothingLeaveTheGridAsItWas() {
    WindowHarness h;
    h.makeDatabase();
    h.open();
    h.clickNode("0102");
    h.addPerson("0102");  // stored behind the view's back: shown only by a re-query
    QFile garbage(h.path("bad.xls"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a workbook");
    garbage.close();
    QVERIFY(QFile::copy(QStringLiteral(GZ_TEST_DATA "/import/layout_rejected.xls"), h.path("layout.xls")));
    h.showFolder(h.dir());

    h.clickImport();  // no workbook chosen
    QCOMPARE(h.boxes().texts(), QStringList{QStringLiteral("未选择导入文件!")});
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
    for (const char* workbook : {"bad.xls", "layout.xls"}) {
      h.selectWorkbook(workbook);
      h.clickImport();
      QCOMPARE(h.panel(0), QStringLiteral("0人"));
      QCOMPARE(h.grid()->model()->rowCount(), 0);
    }
    QVERIFY(h.pane("Memo1")->toPlainText().contains(QStringLiteral("bad.xls")));
    h.clickNode("0102");
    QCOMPARE(h.panel(0), QStringLiteral("1人"));
  }

  void aRunThatFailsPartWayRefreshesTheGrid() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir());
    h.open();
    h.clickNode("0102");
    h.addPerson("0102");
    // The database throws the run's work away at its third person.
    h.execute(
        "create trigger stop_third after insert on ryjbxx when (select count(*) from ryjbxx) > 3 "
        "begin select raise(rollback, 'stopped'); end");
    h.selectWorkbook("staff.xls");
    h.clickImport();
    QCOMPARE(h.boxes().shown().size(), std::size_t{1});
    QCOMPARE(h.boxes().shown()[0].caption, QStringLiteral("错误"));
    QCOMPARE(h.panel(0), QStringLiteral("1人"));
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
  }

  void missingCodeFileIsReportedAtEveryClick() {
    WindowHarness h;
    h.openReadyToImport(/*withCodes=*/false);
    h.boxes().duplicateAnswer = imp::DuplicateAnswer::ImportAll;  // the same workbook twice, on purpose
    h.clickImport();
    const QString afterFirst = h.pane("Memo2")->toPlainText();
    QCOMPARE(afterFirst.section('\n', 0, 0), QStringLiteral("代码文件dm.txt不存在"));
    QCOMPARE(missingCodeFileLines(afterFirst), 1);
    // The run went ahead without codes: nothing was translated.
    QCOMPARE(h.gridColumn("mz"), QStringList(kStaff.size(), QString()));

    h.clickImport();
    const QString afterSecond = h.pane("Memo2")->toPlainText();
    QVERIFY(afterSecond.startsWith(afterFirst + '\n'));  // the first run's lines stay
    QCOMPARE(missingCodeFileLines(afterSecond), 2);
    QCOMPARE(h.panel(0), QStringLiteral("12人"));
  }

  void codeFileEditedBetweenClicksIsReadAnew() {
    WindowHarness h;
    h.openReadyToImport();
    h.clickImport();
    // 张伟 汉族, 李娜 回族, 刘洋 满族
    QCOMPARE(h.gridColumn("mz").mid(2, 2), (QStringList{QStringLiteral("03"), QStringLiteral("11")}));
    QCOMPARE(h.gridColumn("mz").first(), QStringLiteral("01"));

    // 汉族 gets a new code and 满族 loses its line.
    QFile codes(h.path("dm.txt"));
    QVERIFY(codes.open(QIODevice::WriteOnly | QIODevice::Truncate));
    codes.write(text::qStringToGb18030(QStringLiteral("1=1\r\n2=2\r\n汉族=09\r\n回族=03\r\n")).c_str());
    codes.close();
    h.child<QRadioButton>("RadioButton5")->click();
    h.clickImport();

    QCOMPARE(h.gridColumn("xm"), kStaff);
    QCOMPARE(h.gridColumn("mz"), (QStringList{QStringLiteral("09"), QStringLiteral("09"), QStringLiteral("03"),
                                              QString(), QStringLiteral("09"), QString()}));
    QCOMPARE(missingCodeFileLines(h.pane("Memo2")->toPlainText()), 0);
  }

  void importWithoutWorkbookSaysSo() {
    WindowHarness h;
    h.makeDatabase();
    h.open();
    h.clickNode("0102");
    h.clickImport();
    QCOMPARE(h.boxes().texts(), QStringList{QStringLiteral("未选择导入文件!")});
    QCOMPARE(h.boxes().shown()[0].caption, QStringLiteral("失败"));
    QCOMPARE(h.panel(1), QStringLiteral("文件不存在!"));
    QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
  }

  // Another program writes to the database for a second when 导入 is clicked:
  // the run waits, says so, and then stores every row.
  void busyDatabaseIsWaitedFor() {
    WindowHarness h;
    h.openReadyToImport();
    std::promise<void> held;
    std::thread other([&h, &held] {
      auto c = db::openDatabase(h.path("gzgl.mdb").toStdString());
      db::Transaction t(*c);
      c->execute({"insert into dm_jg (id, jgdm) values (999, 'x')", {}});
      held.set_value();
      std::this_thread::sleep_for(std::chrono::seconds(1));
    });
    held.get_future().wait();
    h.clickImport();
    other.join();

    QCOMPARE(h.boxes().texts(), QStringList{QStringLiteral("数据导入成功!提示10条")});
    QVERIFY(h.pane("Memo1")->toPlainText().split('\n').contains(QStringLiteral("数据库正被其他程序使用，正在等待…")));
    QVERIFY(!h.pane("Memo2")->toPlainText().contains(QStringLiteral("此人未导入")));  // no row blamed
    QCOMPARE(h.gridColumn("xm"), kStaff);
  }
};

}  // namespace

QObject* makeImportTests() { return new ImportTests; }

}  // namespace gz::shell::testing

#include "import_tests.moc"
