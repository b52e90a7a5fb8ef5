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

  // The active sheet holds a note, the roster is the second sheet: the
  // window asks whether to import that one.
  void anotherSheetWithTheTitlesIsOffered() {
    struct Row {
      const char* name;
      const char* workbook;
      bool take;
      const char* pane;  // taken: how the import pane begins; declined: what follows the refusal
      int people;
    };
    const QString lacks =
        QStringLiteral("XLS数据格式不配置!不能导入\n第1行缺少所需的标题: 姓名、出生年月、参加工作时间、个人身份");
    const Row cases[] = {
        {"taken, .xls", "roster_second_sheet.xls", true, "第2个工作表\"人员\"有所需的标题\nXLS相配置!准备导入\n张伟",
         6},
        {"taken, .ods", "roster_second_sheet.ods", true, "第2个工作表\"人员\"有所需的标题\nXLS相配置!准备导入\n张伟",
         6},
        {"declined", "roster_second_sheet.xlsx", false, "第2个工作表\"人员\"有所需的标题", 0},
    };
    for (const Row& c : cases) {
      WindowHarness h;
      h.makeDatabase();
      QVERIFY(QFile::copy(QString::fromUtf8(GZ_TEST_DATA "/import/") + QString::fromUtf8(c.workbook),
                          h.path(QString::fromUtf8(c.workbook))));
      h.open();
      h.clickNode("0102");
      h.selectWorkbook(QString::fromUtf8(c.workbook));
      h.boxes().takeOtherSheet = c.take;
      h.clickImport();
      QVERIFY2(
          h.boxes().otherSheetQuestions == QStringList{QStringLiteral("第2个工作表\"人员\"有所需的标题,按此导入?")},
          c.name);
      const QString pane = h.pane("Memo1")->toPlainText();
      if (c.take) {
        QVERIFY2(pane.startsWith(QString::fromUtf8(c.pane)), qPrintable(pane));
      } else {
        QVERIFY2(pane == lacks + QLatin1Char('\n') + QString::fromUtf8(c.pane), qPrintable(pane));
      }
      QVERIFY2(h.panel(0) == QStringLiteral("%1人").arg(c.people), c.name);
    }
  }

  void hiddenRowsAreImportedAndNamed() {
    WindowHarness h;
    h.makeDatabase();
    QVERIFY(QFile::copy(QStringLiteral(GZ_TEST_DATA "/import/roster_hidden.xlsx"), h.path("hidden.xlsx")));
    h.open();
    h.clickNode("0102");
    h.selectWorkbook("hidden.xlsx");
    h.clickImport();
    QVERIFY(h.pane("Memo1")->toPlainText().contains(QStringLiteral("\n隐藏行: 第3、5行,已导入\n")));
    QCOMPARE(h.gridColumn("xm").size(), 6);
  }
};

}  // namespace

QObject* makeRosterTests() { return new RosterTests; }

}  // namespace gz::shell::testing

#include "roster_tests.moc"
