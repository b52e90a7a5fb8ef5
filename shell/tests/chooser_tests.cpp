// The drive, folder and file choosers, and the working directory they set,
// from which each import reads its code file.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

#include "shell/choosers.h"
#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

void touch(const QString& path) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
}

class ChooserTests : public QObject {
  Q_OBJECT
 private slots:
  void folderListMovesWorkingDirectoryAndListsWorkbooks() {
    WindowHarness h;
    QDir(h.dir()).mkpath("books/sub");
    for (const char* name : {"a.xls", "B.XLS", "c.xlsx", "d.xls.bak", "e.ods", "f.CSV", "g.et", "h.ett", "i.htm",
                             "j.html", "k.xml", "l.fods", "m.xlsm", "notes.txt", "photo.jpg", "x.doc", "dm.txt"})
      touch(h.path(QStringLiteral("books/") + name));

    DriveComboBox drives;
    DirectoryListBox folders;
    FileListBox files;
    linkChoosers(drives, folders, files);
    QVERIFY(folders.setDirectory(h.path("books")));
    QCOMPARE(QDir::currentPath(), QDir(h.path("books")).canonicalPath());

    QStringList listed;
    for (int i = 0; i < files.count(); ++i) listed << files.item(i)->text();
    QCOMPARE(listed, (QStringList{"a.xls", "B.XLS", "c.xlsx", "e.ods", "f.CSV", "g.et", "h.ett", "i.htm", "j.html",
                                  "k.xml", "l.fods", "m.xlsm", "notes.txt"}));
    QVERIFY(files.selectedPath().isEmpty());
    QVERIFY(files.selectFile("c.xlsx"));
    QCOMPARE(files.selectedPath(), QDir(h.path("books")).canonicalPath() + "/c.xlsx");

    // The folder list shows the way down from the root and the subfolders;
    // activating a subfolder moves into it.
    QVERIFY(folders.count() >= 2);
    QListWidgetItem* sub = folders.item(folders.count() - 1);
    QCOMPARE(sub->text().trimmed(), QStringLiteral("sub"));
    emit folders.itemActivated(sub);
    QCOMPARE(QDir::currentPath(), QDir(h.path("books/sub")).canonicalPath());
    QCOMPARE(files.count(), 0);

    QVERIFY(!folders.setDirectory(h.path("missing")));
    QCOMPARE(folders.directory(), QDir(h.path("books/sub")).canonicalPath());
  }

  void driveListHoldsTheWorkingDirectorysFileSystem() {
    WindowHarness h;
    DriveComboBox drives;
    DirectoryListBox folders;
    FileListBox files;
    linkChoosers(drives, folders, files);
    QVERIFY(folders.setDirectory(h.dir()));
    QVERIFY(drives.count() >= 1);
    const QString root = drives.currentText();
    QVERIFY2(QDir(h.dir()).canonicalPath().startsWith(root), qPrintable(root));
    // Choosing the drive again goes back to the folder last shown on it.
    QVERIFY(folders.setDirectory(root));
    emit drives.activated(drives.currentIndex());
    QCOMPARE(folders.directory(), root);
  }

  void codeFileIsReadFromTheFolderShown() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.path("coded"));
    h.copyWorkbook(h.path("plain"), /*withCodes=*/false);
    h.open();
    h.clickNode("0102");
    h.boxes().duplicateAnswer = imp::DuplicateAnswer::ImportAll;  // the same workbook twice, on purpose

    h.showFolder(h.path("plain"));
    h.selectWorkbook("staff.xls");
    h.clickImport();
    QCOMPARE(h.pane("Memo2")->toPlainText().count(QStringLiteral("代码文件dm.txt不存在")), 1);
    QCOMPARE(h.gridColumn("mz").value(0), QString());  // no code for 汉族

    h.showFolder(h.path("coded"));
    h.selectWorkbook("staff.xls");
    h.clickImport();
    QCOMPARE(h.pane("Memo2")->toPlainText().count(QStringLiteral("代码文件dm.txt不存在")), 1);
    QCOMPARE(h.gridColumn("mz").value(6), QStringLiteral("01"));
  }
};

}  // namespace

QObject* makeChooserTests() { return new ChooserTests; }

}  // namespace gz::shell::testing

#include "chooser_tests.moc"
