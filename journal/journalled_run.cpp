#include "journal/journalled_run.h"

#include <QDateTime>
#include <filesystem>

#include "journal/journal_error.h"
#include "journal/journal_place.h"
#include "text/bytes.h"

namespace gz::journal {

std::string wayName(imp::ImportMode mode) {
  switch (mode) {
    case imp::ImportMode::Append: return "append";
    case imp::ImportMode::Overwrite: return "overwrite";
  }
  return "";
}

std::string wayLabel(const std::string& wayName) {
  if (wayName == "append") return "追加";
  if (wayName == "overwrite") return "覆盖";
  if (wayName == "update") return "更新";
  return wayName;
}

JournalledRun::JournalledRun(const std::string& journalFile, db::Connection& conn, const std::string& databaseTarget,
                             const std::string& deptCode, imp::ImportMode mode, const std::string& workbookUtf8)
    : file_(std::make_unique<JournalFile>(journalFile)) {
  RunInfo info;
  info.database = databaseKey(databaseTarget);
  info.started = QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss").toStdString();
  info.department = text::trim(deptCode);
  info.way = wayName(mode);
  info.workbook = workbookUtf8.empty() ? workbookUtf8 : std::filesystem::absolute(workbookUtf8).string();
  recorder_ = std::make_unique<RunRecorder>(*file_, conn, file_->beginRun(info));
}

JournalledRun::~JournalledRun() {
  try {
    file_->dropIfEmpty(recorder_->run());
  } catch (const JournalError&) {  // the empty record stays; it lists as a run that changed nothing
  }
}

}  // namespace gz::journal
