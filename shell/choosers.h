// The workbook chooser: a drive list (the mounted file systems), a folder
// list and a list of the folder's workbooks. The folder list moves the
// process's working directory with it, so files named bare (the code file)
// are read from the folder the operator sees.
#pragma once

#include <QComboBox>
#include <QHash>
#include <QListWidget>
#include <QString>

namespace gz::shell {

// The mounted file systems, shown by their root paths.
class DriveComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveComboBox(QWidget* parent = nullptr);
  // Re-reads the mounted file systems.
  void refresh();
  // Shows the file system that holds `path`, without signalling.
  void showDriveOf(const QString& path);

 signals:
  void driveChosen(const QString& rootPath);
};

// The folder chooser: the chain of folders from the root down to the current
// folder, then its subfolders. Activating an entry (double click or Enter)
// moves there.
class DirectoryListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit DirectoryListBox(QWidget* parent = nullptr);

  QString directory() const { return directory_; }
  // Moves to `path` and makes it the working directory. Returns false (and
  // stays where it is) when `path` is not a folder that can be entered.
  bool setDirectory(const QString& path);
  // Moves to the folder last shown on the file system with root `rootPath`,
  // or to the root itself.
  void setDrive(const QString& rootPath);

 signals:
  void directoryChanged(const QString& path);

 private:
  void fill();

  QString directory_;
  QHash<QString, QString> lastFolderOfDrive_;  // root path -> folder last shown there
};

// The workbooks of a folder: the files of every form the readers take
// (sheet::workbookFilePatterns()), any letter case, but for the code file.
class FileListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit FileListBox(QWidget* parent = nullptr);

  void setDirectory(const QString& path);
  QString directory() const { return directory_; }
  // Selects the file of that name; false when the list does not hold it.
  bool selectFile(const QString& name);
  // Folder and name of the selected file; empty when none is selected.
  QString selectedPath() const;

 private:
  QString directory_;
};

// Links the three: a drive moves the folder list, the folder list refills the
// file list and keeps the drive list on its file system.
void linkChoosers(DriveComboBox& drives, DirectoryListBox& folders, FileListBox& files);

}  // namespace gz::shell
