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
#include <optional>

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

// Shows the preview of a check, scrolls it to the end a page at a time,
// prints how long the check, the opening and the scrolling took, and grabs
// it with its last row selected, so that the line under the table names
// that row's cells.
QPixmap timedPreview(const gz::imp::RowResults& results, const QString& summary, QWidget* window, qint64 checked) {
  QElapsedTimer clock;
  clock.start();
  gz::shell::PreviewDialog dialog(results, summary, [](QWidget*) { return std::nullopt; }, window);
  dialog.show();
  if (!QTest::qWaitForWindowExposed(&dialog)) return {};
  const qint64 opened = clock.restart();
  QScrollBar* bar = dialog.table()->verticalScrollBar();
  int pages = 0;
  for (; bar->value() < bar->maximum() && pages < 200; ++pages) {
    bar->setValue(bar->value() + bar->pageStep());
    dialog.table()->viewport()->repaint();
  }
  const qint64 scrolled = clock.restart();
  std::printf("rows %zu: check %lld ms, preview opened in %lld ms, %d pages scrolled in %lld ms\n", results.size(),
              static_cast<long long>(checked), static_cast<long long>(opened), pages, static_cast<long long>(scrolled));
  bar->setValue(0);
  dialog.table()->selectRow(static_cast<int>(results.size()) - 1);
  QTest::qWait(300);
  return dialog.grab();
}

// Clicks the department in the tree and selects the workbook; says why not.
std::optional<QString> pickDepartmentAndWorkbook(gz::shell::TFSYDbf& window, const QString& dept,
                                                 const QString& workbook) {
  auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("TV1"));
  const QList<QTreeWidgetItem*> nodes =
      tree->findItems(QLatin1Char('_') + dept, Qt::MatchEndsWith | Qt::MatchRecursive);
  if (nodes.isEmpty()) return QStringLiteral("no department ") + dept;
  tree->scrollToItem(nodes.first());
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(nodes.first()).center());
  auto* files = window.findChild<gz::shell::FileListBox*>(QStringLiteral("FileListBox1"));
  if (!files->selectFile(workbook)) return QStringLiteral("no workbook ") + workbook + " in " + QDir::currentPath();
  return std::nullopt;
}

// Answers every message box by printing it; a mapping dialog is shown, saved
// to `dialogOut` when given (`saved` says so) and cancelled.
void answerBoxes(gz::shell::RecordingMessageBoxes& boxes, const QString& dialogOut, bool& saved) {
  boxes.onShow = [](const gz::shell::ShownBox& b) {
    std::printf("box [%s] %s\n", qPrintable(b.caption), qPrintable(b.text));
  };
  boxes.answerTitleMapping = [dialogOut, &saved](const gz::imp::TitleOffer& offer, const gz::shell::TitleSaver& save) {
    gz::shell::TitleMappingDialog dialog(offer, save, QApplication::activeWindow());
    dialog.show();
    if (QTest::qWaitForWindowExposed(&dialog) && !dialogOut.isEmpty()) {
      QTest::qWait(200);
      saved = dialog.grab().save(dialogOut, "PNG");
    }
    return std::optional<gz::imp::TitleMapping>();
  };
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
  app.setMessageBoxes(&boxes);
  bool dialogSaved = false;
  answerBoxes(boxes, parser.value(dialogOut), dialogSaved);
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
  if (const std::optional<QString> why = pickDepartmentAndWorkbook(window, parser.value(dept), parser.value(workbook)))
    return fail(*why);

  QPixmap picture;
  if (parser.isSet(preview)) {
    QElapsedTimer clock;
    boxes.onPreview = [&](const gz::imp::RowResults& results) {
      picture = timedPreview(results, boxes.previews.last(), &window, clock.elapsed());
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
