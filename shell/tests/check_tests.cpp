// 检查: the whole import run with nothing written, ending with what an
// import would store; its questions offer 检查, never 导入; the preview it
// ends in; and the button's place beside 导入.
#include <QApplication>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

#include "import/reports/row_results.h"
#include "shell/preview_dialog.h"
#include "shell/preview_model.h"
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

    // The check ends in its preview, headed by what an import would store.
    const QString done = QStringLiteral("将导入6人,未导入0行,提示10条");
    QCOMPARE(h.boxes().texts(), QStringList{});
    QCOMPARE(h.boxes().previews, QStringList{done});
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

  // Each question before a run offers to go on the way the run goes: a
  // check imports nothing, so it never offers 导入.
  void questionsOfferTheRunsOwnVerb() {
    struct Row {
      const char* name;
      const char* workbook;  // from testdata/import; staff.xls imported once before
      const char* button;    // 检查 or 导入
      QStringList buttons;
      const char* question;  // how the question ends; null for the mapping dialog
    };
    const QStringList checkDuplicates = {QStringLiteral("只检查新人员"), QStringLiteral("全部检查"),
                                         QStringLiteral("检查更新已有人员"), QStringLiteral("取消")};
    const QStringList importDuplicates = {QStringLiteral("只导入新人员"), QStringLiteral("全部导入"),
                                          QStringLiteral("更新已有人员"), QStringLiteral("取消")};
    const QStringList check = {QStringLiteral("检查"), QStringLiteral("取消")};
    const QStringList import = {QStringLiteral("导入"), QStringLiteral("取消")};
    const Row rows[] = {
        {"check, titles below row 1", "roster_banner.xls", "checkButton", check, "数据行: 第4行至第9行"},
        {"import, titles below row 1", "roster_banner.xls", "Button1", import, "数据行: 第4行至第9行"},
        {"check, another sheet", "roster_second_sheet.xls", "checkButton", check, "有所需的标题,按此检查?"},
        {"import, another sheet", "roster_second_sheet.xls", "Button1", import, "有所需的标题,按此导入?"},
        {"check, people the department has", nullptr, "checkButton", checkDuplicates, "\n……"},
        {"import, people the department has", nullptr, "Button1", importDuplicates, "\n……"},
        {"check, titles to map", "roster_own_names.xls", "checkButton", check, nullptr},
        {"import, titles to map", "roster_own_names.xls", "Button1", import, nullptr},
    };
    for (const Row& row : rows) {
      WindowHarness h;
      h.makeDatabase();
      h.copyWorkbook(h.dir());
      if (row.workbook)
        QVERIFY(QFile::copy(QString::fromUtf8(GZ_TEST_DATA "/import/") + QString::fromUtf8(row.workbook),
                            h.path(QString::fromUtf8(row.workbook))));
      h.open();
      h.clickNode("0102");
      h.selectWorkbook(QStringLiteral("staff.xls"));
      if (row.workbook) h.selectWorkbook(QString::fromUtf8(row.workbook));
      else h.clickImport();
      h.boxes().questionButtons.clear();
      QTest::mouseClick(h.button(row.button), Qt::LeftButton);
      QVERIFY2(h.boxes().questionButtons.size() == 1, row.name);
      QVERIFY2(h.boxes().questionButtons[0] == row.buttons, qPrintable(h.boxes().questionButtons[0].join(',')));
      const QStringList asked =
          h.boxes().duplicateQuestions + h.boxes().foundTitlesQuestions + h.boxes().otherSheetQuestions;
      if (!row.question) {  // the mapping dialog, for titles the tool does not know
        QVERIFY2(asked.isEmpty() && h.boxes().titleOffers.size() == 1, row.name);
        continue;
      }
      QVERIFY2(asked.size() == 1 && asked.last().endsWith(QString::fromUtf8(row.question)), row.name);
    }
  }

  // The real boxes show those buttons, with 取消 as Escape.
  void theQuestionBoxesShowTheButtonsOffered() {
    struct Row {
      const char* name;
      std::function<void(QtMessageBoxes&)> ask;
      QStringList buttons;
    };
    const Row rows[] = {
        {"titles, check", [](QtMessageBoxes& b) { b.askFoundTitles(nullptr, QStringLiteral("?"), RunKind::Check); },
         proceedButtons(RunKind::Check)},
        {"other sheet, import",
         [](QtMessageBoxes& b) { b.askOtherSheet(nullptr, QStringLiteral("?"), RunKind::Import); },
         proceedButtons(RunKind::Import)},
        {"duplicates, check", [](QtMessageBoxes& b) { b.askDuplicates(nullptr, QStringLiteral("?"), RunKind::Check); },
         duplicateButtons(RunKind::Check)},
    };
    for (const Row& row : rows) {
      QStringList shown;
      QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        for (QAbstractButton* b : box->buttons()) shown << b->text();
        box->escapeButton()->click();
      });
      QtMessageBoxes boxes;
      row.ask(boxes);
      shown.sort();
      QStringList expected = row.buttons;
      expected.sort();
      QVERIFY2(shown == expected, qPrintable(shown.join(',')));
    }
  }

  // 导入 in the preview imports what the preview showed, asking nothing the
  // check asked already: here the people the department has are left out.
  void importFromThePreviewGoesAsTheCheckWent() {
    WindowHarness h;
    h.openReadyToImport();
    h.clickImport();
    QCOMPARE(h.gridColumn("xm").size(), 6);
    h.boxes().duplicateAnswer = imp::DuplicateAnswer::SkipExisting;
    std::vector<imp::RowFate> fates;
    h.boxes().onPreview = [&fates](const imp::RowResults& r) {
      for (std::size_t i = 0; i < r.size(); ++i) fates.push_back(r.fate(i));
    };
    h.boxes().importFromPreview = true;
    QTest::mouseClick(h.button("checkButton"), Qt::LeftButton);
    QCOMPARE(fates, std::vector<imp::RowFate>(6, imp::RowFate::Skip));
    QCOMPARE(h.boxes().duplicateQuestions.size(), 1);
    QCOMPARE(h.boxes().texts().last(), QStringLiteral("数据导入成功!"));
    QCOMPARE(h.gridColumn("xm").size(), 6);

    // 关闭 leaves everything unwritten.
    h.boxes().duplicateAnswer = imp::DuplicateAnswer::ImportAll;
    h.boxes().importFromPreview = false;
    QTest::mouseClick(h.button("checkButton"), Qt::LeftButton);
    QCOMPARE(h.boxes().previews.size(), 2);
    QCOMPARE(h.gridColumn("xm").size(), 6);
  }

  // The preview's table: rows that need a look stand out by colour and icon,
  // the filter keeps only them, a selected row names its cells, and the
  // report is written from the same rows.
  void previewShowsEachRowAndExportsTheReport() {
    WindowHarness h;
    h.openReadyToImport();
    bool shown = false;
    h.boxes().onPreview = [&](const imp::RowResults& results) {
      shown = true;
      const QString report = h.path(QStringLiteral("report.xlsx"));
      PreviewDialog dialog(results, QStringLiteral("s"), [&](QWidget*) { return std::optional<QString>(report); });
      QAbstractItemModel* model = dialog.table()->model();
      QCOMPARE(model->rowCount(), 6);
      // 张伟's identity number has a wrong check digit: a warning on that cell.
      const int idColumn = PreviewModel::kFirstFieldColumn + static_cast<int>(imp::ResultField::IdCard);
      const QModelIndex id = model->index(0, idColumn);
      QVERIFY(model->data(id, Qt::DisplayRole).toString().startsWith(QStringLiteral("1101011968")));
      QVERIFY(model->data(id, Qt::BackgroundRole).value<QColor>().isValid());
      QVERIFY(!model->data(id, Qt::DecorationRole).value<QIcon>().isNull());
      QVERIFY(!model->data(model->index(0, PreviewModel::kFateColumn), Qt::DecorationRole).value<QIcon>().isNull());
      const QModelIndex name = model->index(0, PreviewModel::kFirstFieldColumn);
      QVERIFY(!model->data(name, Qt::BackgroundRole).value<QColor>().isValid());
      QCOMPARE(model->data(model->index(0, PreviewModel::kFateColumn), Qt::DisplayRole).toString(),
               QStringLiteral("导入"));

      const int warned = static_cast<int>(results.rowsWarned());
      dialog.showOnlyProblems(true);
      QCOMPARE(model->rowCount(), warned);
      dialog.showOnlyProblems(false);
      dialog.table()->selectRow(1);
      QVERIFY2(dialog.sourcesText().contains(QStringLiteral("姓名 B3")), qPrintable(dialog.sourcesText()));

      QVERIFY(dialog.exportReport(report));
      QVERIFY(QFileInfo::exists(report));
      QVERIFY(!dialog.exportReport(h.path(QStringLiteral("nofolder/report.xlsx"))));
      QVERIFY(dialog.statusText().contains(QStringLiteral("nofolder")));
    };
    QTest::mouseClick(h.button("checkButton"), Qt::LeftButton);
    QVERIFY(shown);
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
