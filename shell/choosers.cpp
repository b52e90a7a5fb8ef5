#include "shell/choosers.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QStorageInfo>

#include "codes/dm_file.h"
#include "sheet/workbook_form.h"

namespace gz::shell {

namespace {
constexpr int kPathRole = Qt::UserRole;

QString rootOf(const QString& path) { return QStorageInfo(path).rootPath(); }
}  // namespace

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent) {
  refresh();
  connect(this, &QComboBox::activated, this, [this](int index) { emit driveChosen(itemData(index).toString()); });
}

void DriveComboBox::refresh() {
  const QString current = currentData().toString();
  clear();
  QFileIconProvider icons;
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    // Bind-mounted single files are mounts too, but nothing to browse.
    if (!v.isValid() || !v.isReady() || !QFileInfo(v.rootPath()).isDir()) continue;
    addItem(icons.icon(QFileIconProvider::Drive), v.rootPath(), v.rootPath());
  }
  model()->sort(0);
  const int i = findData(current);
  if (i >= 0) setCurrentIndex(i);
}

void DriveComboBox::showDriveOf(const QString& path) {
  const QString root = rootOf(path);
  int i = findData(root);
  if (i < 0) {
    // A file system mounted since the list was read.
    refresh();
    i = findData(root);
  }
  if (i >= 0) setCurrentIndex(i);
}

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setUniformItemSizes(true);
  connect(this, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { setDirectory(item->data(kPathRole).toString()); });
}

bool DirectoryListBox::setDirectory(const QString& path) {
  const QFileInfo info(path);
  if (!info.isDir()) return false;
  const QString folder = info.canonicalFilePath();
  if (!QDir::setCurrent(folder)) return false;
  directory_ = folder;
  lastFolderOfDrive_.insert(rootOf(folder), folder);
  fill();
  // Also when it is the same folder again: the file list is then re-read.
  emit directoryChanged(directory_);
  return true;
}

void DirectoryListBox::setDrive(const QString& rootPath) {
  const QString last = lastFolderOfDrive_.value(rootPath);
  if (last.isEmpty() || !setDirectory(last)) setDirectory(rootPath);
}

void DirectoryListBox::fill() {
  clear();
  QFileIconProvider icons;
  const QIcon folderIcon = icons.icon(QFileIconProvider::Folder);

  // The chain from the root down to the current folder, each one step
  // further in, the current one selected.
  QStringList chain;
  for (QDir d(directory_);;) {
    chain.prepend(d.absolutePath());
    if (!d.cdUp()) break;
  }
  int depth = 0;
  for (const QString& p : chain) {
    const QString name = QDir(p).isRoot() ? QDir::toNativeSeparators(p) : QFileInfo(p).fileName();
    auto* item = new QListWidgetItem(folderIcon, QString(depth * 2, QLatin1Char(' ')) + name, this);
    item->setData(kPathRole, p);
    ++depth;
  }
  setCurrentRow(count() - 1);

  const QFileInfoList subfolders =
      QDir(directory_).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& f : subfolders) {
    auto* item = new QListWidgetItem(folderIcon, QString(depth * 2, QLatin1Char(' ')) + f.fileName(), this);
    item->setData(kPathRole, f.absoluteFilePath());
  }
  scrollToItem(currentItem());
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileListBox::setDirectory(const QString& path) {
  directory_ = path;
  clear();
  // Every form the readers take; without QDir::CaseSensitive the masks match in any letter case.
  QStringList masks;
  for (const std::string& pattern : sheet::workbookFilePatterns()) masks << QString::fromStdString(pattern);
  QStringList names = QDir(path).entryList(masks, QDir::Files, QDir::Name | QDir::IgnoreCase);
  // The code file lives in the folder of the workbooks and matches "*.txt", but is none.
  names.removeIf([](const QString& name) {
    return name.compare(QString::fromUtf8(codes::kDmFileName.data(), codes::kDmFileName.size()), Qt::CaseInsensitive) ==
           0;
  });
  addItems(names);
}

bool FileListBox::selectFile(const QString& name) {
  const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly);
  if (found.isEmpty()) return false;
  setCurrentItem(found.first());
  return true;
}

QString FileListBox::selectedPath() const {
  const QList<QListWidgetItem*> sel = selectedItems();
  if (sel.isEmpty()) return QString();
  return QDir(directory_).filePath(sel.first()->text());
}

void linkChoosers(DriveComboBox& drives, DirectoryListBox& folders, FileListBox& files) {
  QObject::connect(&drives, &DriveComboBox::driveChosen, &folders, &DirectoryListBox::setDrive);
  QObject::connect(&folders, &DirectoryListBox::directoryChanged, &files, [&drives, &files](const QString& path) {
    files.setDirectory(path);
    drives.showDriveOf(path);
  });
}

}  // namespace gz::shell
