// Rosters whose titles are not in row 1 as the import reads them: the window
// asks before anything is written, naming where it found the titles and the
// data, and imports by them only when the operator chooses 导入.
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

class RosterTests : public QObject {
  Q_OBJECT
 private slots:
  void aFoundHeaderIsImportedOnceTheOperatorTakesIt() {
    struct Row {
      const char* name;
      const char* workbook;
      const char* question;
    };
    const Row cases[] = {
        {"banner rows", "roster_banner.xls", "工作表: 人员\n标题在第3行\n数据行: 第4行至第9行"},
        {"two rows under a group title", "roster_two_rows.xlsx",
         "工作表: 人员\n标题在第2至3行\n第3行第5列\"出生年月\"\n第3行第6列\"参加工作时间\"\n"
         "第3行第7列\"个人身份\"\n数据行: 第4行至第9行"},
        {"other names", "roster_other_names.xlsx", "第1行第5列\"出生日期\"作为出生年月"},
    };
    for (const Row& c : cases) {
      WindowHarness h;
      h.makeDatabase();
      h.copyWorkbook(h.dir());
      QVERIFY(QFile::copy(QString::fromUtf8(GZ_TEST_DATA "/import/") + QString::fromUtf8(c.workbook),
                          h.path(QString::fromUtf8(c.workbook))));
      h.open();
      h.clickNode("0102");
      h.selectWorkbook(QString::fromUtf8(c.workbook));
      h.boxes().takeFoundTitles = true;
      h.clickImport();
      QVERIFY2(h.boxes().foundTitlesQuestions.size() == 1, c.name);
      QVERIFY2(h.boxes().foundTitlesQuestions[0].contains(QString::fromUtf8(c.question)),
               qPrintable(h.boxes().foundTitlesQuestions[0]));
      QVERIFY2(h.panel(0) == QStringLiteral("6人"), c.name);
      QVERIFY2(h.pane("Memo1")->toPlainText().contains(QString::fromUtf8(c.question)), c.name);
    }
  }

  void theTotalsLineIsNamedAndNotStored() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir());
    QVERIFY(QFile::copy(QStringLiteral(GZ_TEST_DATA "/import/roster_banner.xls"), h.path("roster.xls")));
    h.open();
    h.clickNode("0102");
    h.selectWorkbook("roster.xls");
    h.boxes().takeFoundTitles = true;
    h.clickImport();
    QVERIFY(h.pane("Memo1")->toPlainText().contains(QStringLiteral("数据到第9行为止: 第10行\"合计: 6人\"不是人员")));
    QCOMPARE(h.gridColumn("xm").size(), 6);
    QVERIFY(!h.gridColumn("xm").join(QLatin1Char(',')).contains(QStringLiteral("合计")));
  }

  void cancelledItWritesNothingAndSaysWhereTheTitlesAre() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir());
    QVERIFY(QFile::copy(QStringLiteral(GZ_TEST_DATA "/import/roster_two_rows.xls"), h.path("roster.xls")));
    h.open();
    h.clickNode("0102");
    h.selectWorkbook("roster.xls");
    h.clickImport();  // 取消
    QCOMPARE(h.boxes().foundTitlesQuestions.size(), 1);
    QCOMPARE(h.pane("Memo1")->toPlainText(), QStringLiteral("XLS数据格式不配置!不能导入\n第2至3行有所需的标题"));
    QVERIFY(h.boxes().shown().empty());
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
  }
};

}  // namespace

QObject* makeRosterTests() { return new RosterTests; }

}  // namespace gz::shell::testing

#include "roster_tests.moc"
