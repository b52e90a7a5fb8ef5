// The platform calls of the journal: the data folder and file permissions.
#include "journal/journal_place.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

namespace gz::journal {

std::string journalPath() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/gzimport";
  return (folder + "/journal.sqlite").toStdString();
}

void keepPrivate(const std::string& path) {
  QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner;
  if (QFileInfo(QString::fromStdString(path)).isDir()) p |= QFile::ExeOwner;
  QFile::setPermissions(QString::fromStdString(path), p);
}

}  // namespace gz::journal
