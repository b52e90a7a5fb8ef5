// `gzimport undo [--db DB] [RUN]`: takes back the latest run not yet taken
// back, or run RUN, after checking that nothing it left was changed since.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/help_text.h"
#include "cli/open_work_database.h"
#include "cli/options.h"
#include "db/connection.h"
#include "journal/journal_error.h"
#include "journal/journal_file.h"
#include "journal/journal_place.h"
#include "journal/take_back.h"
#include "text/gb18030.h"

namespace gz::cli {
namespace {

// How many run numbers were given (0 or 1 are allowed), before the real parse reports any other count.
int runNumbersGiven(const QCommandLineOption& dbOption, const QStringList& args) {
  QCommandLineParser probe;
  probe.addOption(dbOption);
  probe.parse(args);
  return std::min<int>(static_cast<int>(probe.positionalArguments().size()), 1);
}

std::string doneText(const journal::TakenBack& done) {
  const std::string run = "第 " + std::to_string(done.run.number) + " 次导入";
  if (done.foundDone) return run + "在数据库中已经撤销, 日志已更新";
  return run + "已撤销 (部门 " + text::gb18030ToUtf8(done.run.department) + ", 新增 " + std::to_string(done.run.added) +
         " 人已删除, 删除的 " + std::to_string(done.run.deleted) + " 人已恢复, 更新的 " +
         std::to_string(done.run.updated) + " 人已还原)";
}

int runUndo(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QCoreApplication::translate(
      "gzimport", "Takes back the latest import into the database, or import RUN (see 'gzimport runs')."));
  const QCommandLineOption dbOption = databaseOption();
  parser.addOption(dbOption);
  parser.addPositionalArgument("RUN", QCoreApplication::translate("gzimport", "The number of the import."), "[RUN]");
  if (const auto status = parseArguments(parser, args, runNumbersGiven(dbOption, args))) return *status;
  std::optional<int64_t> number;
  if (!parser.positionalArguments().isEmpty()) {
    bool ok = false;
    number = parser.positionalArguments().front().toLongLong(&ok);
    if (!ok)
      return usageError(QCoreApplication::translate("gzimport", "RUN must be the number of an import").toStdString(),
                        helpTextOf(parser));
  }
  try {
    const QString target = parser.value(dbOption);
    auto connection = openWorkDatabase(target, db::SchemaUse::Import);
    journal::JournalFile file(journal::journalPath());
    const journal::RunInfo run = journal::chooseRun(file, journal::databaseKey(target.toStdString()), number);
    printOut(doneText(journal::takeBack(file, *connection, run)));
  } catch (const journal::JournalError& e) {
    return fail(e.what());
  } catch (const db::DbError& e) {
    return fail(std::string(e.what()) + " (撤销没有完成, 数据库没有改动)");
  }
  return kOk;
}

const CommandRegistration registration({"undo", QT_TRANSLATE_NOOP("gzimport", "Take an import back"), runUndo});

}  // namespace
}  // namespace gz::cli
