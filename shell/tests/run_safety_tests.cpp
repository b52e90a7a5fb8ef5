// What the window does so that nothing is imported twice or lost: the
// question about people the department has already, and the rows not
// stored, offered for saving in a workbook of their own.
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "sheet/model/cell_forms.h"
#include "sheet/model/cell_value.h"
#include "sheet/model/sheet_data.h"
#include "sheet/open_workbook.h"
#include "sheet/xlsx_writer.h"
#include "tests.h"
#include "text/gb18030.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

// staff.xls with the birth date of its third person (sheet row 4) as text
// that is no date, written as bad.xlsx into `folder`.
void writeStaffWithABadRow(const QString& folder) {
  const std::unique_ptr<sheet::Workbook> staff =
      sheet::openWorkbook(QFile::encodeName(GZ_SOURCE_DIR "/shell/tests/data/staff.xls").toStdString());
  std::vector<std::vector<sheet::CellValue>> rows;
  const sheet::SheetData& data = staff->sheet();
  for (uint32_t r = 1; r <= data.lastRow(); ++r) {
    rows.emplace_back();
    for (uint32_t c = 1; c <= data.lastColumn(1); ++c) rows.back().push_back(data.value(r, c));
  }
  rows[3][4] = sheet::CellValue{sheet::CellKind::Text, false, 0, text::utf8ToGb18030("19x0-05-09"), false};
  sheet::writeXlsx((folder + QStringLiteral("/bad.xlsx")).toStdString(), "staff", rows);
}

class RunSafetyTests : public QObject {
  Q_OBJECT
 private slots:
  void aSecondAppendOfTheSameWorkbookAsksFirst() {
    WindowHarness h;
    h.openReadyToImport();
    h.clickImport();
    QVERIFY(h.boxes().duplicateQuestions.isEmpty());
    QCOMPARE(h.panel(0), QStringLiteral("6人"));

    struct Row {
      const char* name;
      imp::DuplicateAnswer answer;
      const char* headCount;
    };
    const Row cases[] = {
        {"cancel", imp::DuplicateAnswer::Cancel, "6人"},
        {"only the new people", imp::DuplicateAnswer::SkipExisting, "6人"},
        {"update the people", imp::DuplicateAnswer::UpdateExisting, "6人"},
        {"all of them", imp::DuplicateAnswer::ImportAll, "12人"},
    };
    for (const Row& c : cases) {
      h.boxes().duplicateQuestions.clear();
      h.boxes().clear();
      h.boxes().duplicateAnswer = c.answer;
      h.clickImport();
      QVERIFY2(h.boxes().duplicateQuestions.size() == 1, c.name);
      const QString question = h.boxes().duplicateQuestions[0];
      QVERIFY2(question.startsWith(QStringLiteral("本部门已有6人的身份证号与工作簿中的行相同:\n"
                                                  "第2行 张伟 110101196803011234\n")),
               qPrintable(question));
      QVERIFY2(question.endsWith(QStringLiteral("\n……")), qPrintable(question));  // five named of six
      QCOMPARE(h.panel(0), QString::fromUtf8(c.headCount));
      QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
    }
    // Cancelled: said in the import pane, no box. Skipped: each row listed.
    const QString pane = h.pane("Memo1")->toPlainText();
    QVERIFY(pane.contains(QStringLiteral("6人的身份证号已在本部门,未导入任何人员")));
    QVERIFY(pane.contains(QStringLiteral("第7行:杨军:身份证号110101196312054444已在本部门,跳过")));
    QVERIFY(pane.contains(QStringLiteral("导入人员0人,未导入0行,跳过6行,履历记录0条,报告0条")));
    // Updated: each of the six in place, nobody added.
    QVERIFY(pane.contains(QStringLiteral("新增0人,更新6人,未导入0行\n工作簿中没有的人员0人,保留未动")));
  }

  void overwriteNeverAsks() {
    WindowHarness h;
    h.openReadyToImport();
    h.clickImport();
    h.child<QRadioButton>("RadioButton5")->setChecked(true);
    h.clickImport();
    QVERIFY(h.boxes().duplicateQuestions.isEmpty());
    QCOMPARE(h.panel(0), QStringLiteral("6人"));
  }

  void rowsNotStoredCanBeSavedFromTheClosingBox() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir());
    writeStaffWithABadRow(h.dir());
    h.open();
    h.clickNode("0102");
    h.selectWorkbook("bad.xlsx");
    h.boxes().saveRejects = true;
    h.boxes().rejectsPath = h.path("rows.xlsx");
    h.clickImport();

    QCOMPARE(h.boxes().shown().size(), 2u);
    QCOMPARE(h.boxes().shown()[0].text, QStringLiteral("数据导入完成,1行未导入!提示8条"));
    QVERIFY(h.boxes().shown()[0].offeredRejects);
    QCOMPARE(h.boxes().suggestedRejectsPaths, QStringList{h.path("bad_未导入.xlsx")});
    QCOMPARE(h.boxes().shown()[1].text, QStringLiteral("未导入的1行已保存到 ") + h.path("rows.xlsx"));

    const std::unique_ptr<sheet::Workbook> saved = sheet::openWorkbook(h.path("rows.xlsx").toStdString());
    QCOMPARE(saved->sheet().lastRow(), 2u);
    QCOMPARE(text::gb18030ToQString(sheet::cellText(saved->value(2, 2))), QStringLiteral("李娜"));
    QCOMPARE(text::gb18030ToQString(sheet::cellText(saved->value(1, 15))), QStringLiteral("未导入原因"));
    QCOMPARE(text::gb18030ToQString(sheet::cellText(saved->value(2, 15))),
             QStringLiteral("出生年月\"19x0-05-09\"不是日期"));

    // A run that stores every row offers nothing.
    h.boxes().clear();
    h.selectWorkbook("staff.xls");
    h.boxes().duplicateAnswer = imp::DuplicateAnswer::ImportAll;
    h.clickImport();
    QCOMPARE(h.boxes().shown().size(), 1u);
    QVERIFY(!h.boxes().shown()[0].offeredRejects);
  }

  void aSaveDialogCancelledOrRefusedWritesNothing() {
    WindowHarness h;
    h.makeDatabase();
    writeStaffWithABadRow(h.dir());
    QFile::copy(GZ_SOURCE_DIR "/shell/tests/data/dm.txt", h.path("dm.txt"));
    h.open();
    h.clickNode("0102");
    h.selectWorkbook("bad.xlsx");
    h.boxes().saveRejects = true;
    h.clickImport();  // the dialog cancelled
    QCOMPARE(h.boxes().shown().size(), 1u);

    h.boxes().clear();
    h.boxes().rejectsPath = h.path("no folder/rows.xlsx");
    h.boxes().duplicateAnswer = imp::DuplicateAnswer::ImportAll;
    h.clickImport();
    QCOMPARE(h.boxes().shown().size(), 2u);
    QCOMPARE(h.boxes().shown()[1].caption, QStringLiteral("错误"));
    QVERIFY(h.boxes().shown()[1].text.contains(h.path("no folder/rows.xlsx")));
  }
};

}  // namespace

QObject* makeRunSafetyTests() { return new RunSafetyTests; }

}  // namespace gz::shell::testing

#include "run_safety_tests.moc"
