// `gzimport runs [--db DB]`: lists the runs the journal holds for the
// database, newest first, tab-separated under a heading line.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <string>

#include "cli/command.h"
#include "cli/options.h"
#include "journal/journal_error.h"
#include "journal/journal_file.h"
#include "journal/journal_place.h"
#include "journal/journalled_run.h"
#include "text/gb18030.h"

namespace gz::cli {
namespace {

std::string runLine(const journal::RunInfo& r) {
  const char* state = r.state == journal::RunState::TakenBack ? "是" : "否";
  return std::to_string(r.number) + "\t" + r.started + "\t" + text::gb18030ToUtf8(r.department) + "\t" +
         journal::wayLabel(r.way) + "\t" + r.workbook + "\t" + std::to_string(r.added) + "\t" +
         std::to_string(r.updated) + "\t" + std::to_string(r.deleted) + "\t" + state;
}

int runRuns(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QCoreApplication::translate(
      "gzimport", "Lists the imports into the database that the journal holds and whether each was taken back."));
  const QCommandLineOption dbOption = databaseOption();
  parser.addOption(dbOption);
  if (const auto status = parseArguments(parser, args, 0)) return *status;
  try {
    journal::JournalFile file(journal::journalPath());
    printOut("编号\t时间\t部门\t方式\t工作簿\t新增\t更新\t删除\t已撤销");
    for (const journal::RunInfo& r : file.runs(journal::databaseKey(parser.value(dbOption).toStdString())))
      printOut(runLine(r));
  } catch (const journal::JournalError& e) {
    return fail(e.what());
  }
  return kOk;
}

const CommandRegistration registration({"runs",
                                        QT_TRANSLATE_NOOP("gzimport", "List the imports that can be taken back"),
                                        runRuns});

}  // namespace
}  // namespace gz::cli
