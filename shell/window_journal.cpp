#include "shell/window_journal.h"

#include <QStringList>
#include <vector>

#include "journal/journal_error.h"
#include "journal/journal_file.h"
#include "journal/journal_place.h"
#include "journal/take_back.h"
#include "shell/message_boxes.h"
#include "text/gb18030.h"

namespace gz::shell {

namespace {

const QString kCaption = QStringLiteral("撤销导入");

QString runLine(const journal::RunInfo& r) {
  return QStringLiteral("第%1次  %2  部门%3  %4  新增%5人 更新%6人 删除%7人%8  %9")
      .arg(r.number)
      .arg(QString::fromStdString(r.started), text::gb18030ToQString(r.department),
           QString::fromStdString(journal::wayLabel(r.way)))
      .arg(r.added)
      .arg(r.updated)
      .arg(r.deleted)
      .arg(r.state == journal::RunState::TakenBack ? QStringLiteral("  (已撤销)") : QString(),
           QString::fromStdString(r.workbook));
}

QString doneText(const journal::TakenBack& done) {
  if (done.foundDone) return QStringLiteral("第%1次导入在数据库中已经撤销。").arg(done.run.number);
  return QStringLiteral("第%1次导入已撤销。").arg(done.run.number);
}

}  // namespace

JournalChoice journalRun(QWidget* window, MessageBoxes& boxes, const JournalPlace& place, db::Connection& conn,
                         imp::ImportRequest& request) {
  try {
    auto run = std::make_unique<journal::JournalledRun>(place.file, conn, place.database.toStdString(),
                                                        request.departmentCode, request.mode, request.workbookPath);
    request.journal = &run->journal();
    return {true, std::move(run)};
  } catch (const journal::JournalError& e) {
    const QString text = QString::fromStdString(e.what()) +
                         QStringLiteral("\n\n没有撤销日志也可以导入,但这次导入以后不能撤销。仍要导入吗?");
    return {boxes.askConfirm(window, text, QStringLiteral("撤销日志"), QStringLiteral("导入")), nullptr};
  }
}

TakeBackResult takeBackChosenRun(QWidget* window, MessageBoxes& boxes, const JournalPlace& place,
                                 db::Connection& conn) {
  try {
    journal::JournalFile file(place.file);
    const std::string key = journal::databaseKey(place.database.toStdString());
    const std::vector<journal::RunInfo> runs = file.runs(key);
    if (runs.empty()) {
      boxes.show(window, QStringLiteral("这个数据库没有记录可以撤销的导入。"), kCaption, BoxIcon::None);
      return {};
    }
    QStringList lines;
    for (const journal::RunInfo& r : runs) lines << runLine(r);
    const std::optional<int> chosen = boxes.askRunToTakeBack(window, lines);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(runs.size())) return {};
    const journal::RunInfo run = journal::chooseRun(file, key, runs[*chosen].number);
    if (!boxes.askConfirm(window, QStringLiteral("撤销%1?").arg(runLine(run)), kCaption, QStringLiteral("撤销")))
      return {};
    const QString done = doneText(journal::takeBack(file, conn, run));
    boxes.show(window, done, kCaption, BoxIcon::None);
    return {true, done};
  } catch (const journal::JournalError& e) {
    const QString why = QString::fromStdString(e.what());
    boxes.show(window, why, kCaption, BoxIcon::Error);
    return {false, QStringLiteral("撤销导入未完成:") + why};
  }
}

}  // namespace gz::shell
