// Drives the window through one import and saves a picture of it: started in
// a folder holding the database, the code file and the workbook, it clicks
// the department, selects the workbook, clicks 导入, answers each message box
// (printing it) and saves the window as PNG. Used to make the README picture.
// With --dialog-out, a mapping dialog the import opens is saved there too,
// as it first shows, and then cancelled. With --preview it clicks 检查
// instead and saves the preview that opens, printing how long the check and
// the opening of the preview took.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "shell/choosers.h"
#include "shell/gui_application.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "shell/preview_dialog.h"
#include "shell/title_mapping_dialog.h"

namespace {

int fail(const QString& message) {
  std::fprintf(stderr, "window_screenshot: %s\n", qPrintable(message));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  gz::shell::GuiApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("gzimport-gui"));
  QCommandLineParser parser;
  const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("Database."), QStringLiteral("DB"),
                              QStringLiteral("gzgl.mdb"));
  const QCommandLineOption dept(QStringLiteral("dept"), QStringLiteral("Department code."), QStringLiteral("CODE"));
  const QCommandLineOption workbook(QStringLiteral("workbook"), QStringLiteral("Workbook in the working directory."),
                                    QStringLiteral("FILE"));
  const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("PNG file to write."), QStringLiteral("PNG"));
  const QCommandLineOption dialogOut(QStringLiteral("dialog-out"), QStringLiteral("PNG file for the mapping dialog."),
                                     QStringLiteral("PNG"));
  const QCommandLineOption preview(QStringLiteral("preview"), QStringLiteral("Click 检查 and save its preview."));
  parser.addOptions({db, dept, workbook, out, dialogOut, preview});
  parser.addHelpOption();
  parser.process(app);
  if (!parser.isSet(dept) || !parser.isSet(workbook) || !parser.isSet(out))
    return fail(QStringLiteral("--dept, --workbook and --out are required"));

  gz::shell::RecordingMessageBoxes boxes;
  boxes.onShow = [](const gz::shell::ShownBox& b) {
    std::printf("box [%s] %s\n", qPrintable(b.caption), qPrintable(b.text));
  };
  app.setMessageBoxes(&boxes);
  bool dialogSaved = false;
  boxes.answerTitleMapping = [&](const gz::imp::TitleOffer& offer, const gz::shell::TitleSaver& save) {
    gz::shell::TitleMappingDialog dialog(offer, save, QApplication::activeWindow());
    dialog.show();
    if (QTest::qWaitForWindowExposed(&dialog) && parser.isSet(dialogOut)) {
      QTest::qWait(200);
      dialogSaved = dialog.grab().save(parser.value(dialogOut), "PNG");
    }
    return std::optional<gz::imp::TitleMapping>();
  };
  gz::shell::WindowSetup setup;
  setup.boxes = &boxes;
  setup.database = parser.value(db);
  setup.startupCheckDelayMs = 0;
  gz::shell::TFSYDbf window(setup);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return fail(QStringLiteral("the window was not shown"));
  auto* timer = window.findChild<QTimer*>(QStringLiteral("Timer1"));
  if (!QTest::qWaitFor([timer] { return !timer->isActive(); }))
    return fail(QStringLiteral("the start-up check did not run"));

  auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("TV1"));
  const QList<QTreeWidgetItem*> nodes =
      tree->findItems(QLatin1Char('_') + parser.value(dept), Qt::MatchEndsWith | Qt::MatchRecursive);
  if (nodes.isEmpty()) return fail(QStringLiteral("no department ") + parser.value(dept));
  tree->scrollToItem(nodes.first());
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(nodes.first()).center());

  auto* files = window.findChild<gz::shell::FileListBox*>(QStringLiteral("FileListBox1"));
  if (!files->selectFile(parser.value(workbook)))
    return fail(QStringLiteral("no workbook ") + parser.value(workbook) + " in " + QDir::currentPath());
  QPixmap picture;
  if (parser.isSet(preview)) {
    QElapsedTimer clock;
    boxes.onPreview = [&](const gz::imp::RowResults& results) {
      const qint64 checked = clock.restart();
      gz::shell::PreviewDialog dialog(results, boxes.previews.last(), [](QWidget*) { return std::nullopt; }, &window);
      dialog.show();
      if (!QTest::qWaitForWindowExposed(&dialog)) return;
      const qint64 opened = clock.restart();
      // Scrolled to the end in steps of a page, each step drawn.
      QScrollBar* bar = dialog.table()->verticalScrollBar();
      int pages = 0;
      for (; bar->value() < bar->maximum() && pages < 200; ++pages) {
        bar->setValue(bar->value() + bar->pageStep());
        dialog.table()->viewport()->repaint();
      }
      const qint64 scrolled = clock.restart();
      std::printf("rows %zu: check %lld ms, preview opened in %lld ms, %d pages scrolled in %lld ms\n", results.size(),
                  static_cast<long long>(checked), static_cast<long long>(opened), pages,
                  static_cast<long long>(scrolled));
      bar->setValue(0);
      // The last row selected, so that the line under the table names its cells.
      dialog.table()->selectRow(static_cast<int>(results.size()) - 1);
      QTest::qWait(300);
      picture = dialog.grab();
    };
    clock.start();
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("checkButton")), Qt::LeftButton);
  } else {
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QTest::qWait(300);  // let the last repaints through
    picture = window.grab();
  }

  if (!picture.save(parser.value(out), "PNG")) return fail(QStringLiteral("cannot write ") + parser.value(out));
  std::printf("wrote %s\n", qPrintable(parser.value(out)));
  if (parser.isSet(dialogOut)) {
    if (!dialogSaved) return fail(QStringLiteral("no mapping dialog was saved to ") + parser.value(dialogOut));
    std::printf("wrote %s\n", qPrintable(parser.value(dialogOut)));
  }
  return 0;
}
