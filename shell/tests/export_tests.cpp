// 导出…: the selected department written where the operator saves it, what
// was written told in the import pane; cancelling writes nothing and a file
// that cannot be created is a box; and the button's place.
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

class ExportTests : public QObject {
  Q_OBJECT
 private slots:
  void selectedDepartmentWrittenWhereSaved() {
    struct Row {
      const char* name;
      const char* path;  // answered in the save dialog; null for 取消
      const char* box;   // the box shown, if any
      bool written;
    };
    const Row rows[] = {
        {"saved", "out.xlsx", nullptr, true},
        {"cancelled", nullptr, nullptr, false},
        {"folder that does not exist", "none/out.xlsx", "不能创建工作簿", false},
    };
    for (const Row& row : rows) {
      WindowHarness h;
      h.openReadyToImport();
      h.clickImport();
      h.clickNode("0102");
      const std::size_t boxes = h.boxes().shown().size();
      if (row.path) h.boxes().exportPath = h.path(QString::fromUtf8(row.path));
      QTest::mouseClick(h.button("exportButton"), Qt::LeftButton);
      QCOMPARE(h.boxes().suggestedExportPaths.size(), 1);
      const QString pane = h.pane("Memo1")->toPlainText();
      QVERIFY2(pane.contains(QStringLiteral("已导出")) == row.written, row.name);
      QCOMPARE(h.boxes().shown().size(), boxes + (row.box ? std::size_t{1} : std::size_t{0}));
      if (row.box) QVERIFY2(h.boxes().texts().last().contains(QString::fromUtf8(row.box)), row.name);
      QCOMPARE(QFile::exists(h.path("out.xlsx")), row.written);
    }
  }

  void exportButtonOverlapsNoOtherControl() {
    WindowHarness h;
    TFSYDbf& w = h.open();
    const QPushButton* button = h.button("exportButton");
    QCOMPARE(button->text(), QStringLiteral("导出…"));
    for (const QWidget* other : w.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (other == button || !other->isVisible()) continue;
      QVERIFY2(!other->geometry().intersects(button->geometry()), qPrintable(other->objectName()));
    }
  }
};

}  // namespace

QObject* makeExportTests() { return new ExportTests; }

}  // namespace gz::shell::testing

#include "export_tests.moc"
