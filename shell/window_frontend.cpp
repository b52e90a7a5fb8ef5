#include "shell/window_frontend.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <algorithm>

#include "import/reports/reject_workbook.h"
#include "import/shared/column_map.h"
#include "import/shared/run_texts.h"
#include "import/shared/texts.h"
#include "import/shared/titles_file.h"
#include "import/shared/typed_date_counter.h"
#include "sheet/xlsx_writer.h"
#include "shell/message_boxes.h"
#include "text/gb18030.h"

namespace gz::shell {

namespace {
// How often collected lines reach the panes while a run goes on.
constexpr qint64 kFlushIntervalMs = 50;
// How many of the rows whose people the department has the question names.
constexpr std::size_t kDuplicatesNamed = 5;

void appendLines(QPlainTextEdit* pane, QStringList& lines) {
  if (lines.isEmpty()) return;
  pane->appendPlainText(lines.join(QLatin1Char('\n')));
  lines.clear();
}
}  // namespace

using imp::RunEnd;
namespace texts = imp::texts;

void WindowFrontend::deletingDepartment() { importLine(texts::kMsgDeleting); }

void WindowFrontend::titleUnreadable(int32_t column) { importLine(imp::unreadableTitleLine(column)); }

void WindowFrontend::datesReadAsTyped(const imp::TypedDateCounter& counted) {
  for (const std::string& line : counted.lines()) importLine(line);
}

void WindowFrontend::layoutAccepted() { importLine(texts::kMsgLayoutAccepted); }

bool WindowFrontend::titlesFound(const imp::FoundHeader& header) {
  flush();
  const std::vector<std::string> lines = imp::foundHeaderLines(header);
  QStringList text;
  for (const std::string& line : lines) text << text::gb18030ToQString(line);
  if (!choices_.foundTitles)
    choices_.foundTitles = boxes_.askFoundTitles(w_.window, text.join(QLatin1Char('\n')), runKind());
  if (!*choices_.foundTitles) return false;
  for (const std::string& line : lines) importLine(line);
  return true;
}

std::optional<imp::TitleMapping> WindowFrontend::mapTitles(const imp::TitleOffer& offer) {
  flush();
  const TitleSaver save = [this, &offer](const imp::TitleMapping& mapping) {
    const std::vector<imp::TitleAlias> added =
        imp::saveTitleAliases(titlesFile_, imp::newAliases(mapping, offer.titles, knownTitles_));
    const QString file = QString::fromStdU16String(titlesFile_.filename().u16string());
    if (added.empty()) return QStringLiteral("%1中已有所选的名称").arg(file);
    QStringList lines;
    for (const imp::TitleAlias& a : added) lines << text::gb18030ToQString(a.field + "=" + a.other);
    return QStringLiteral("已记入%1: %2").arg(file, lines.join(QStringLiteral("、")));
  };
  if (!choices_.titleMapping) choices_.titleMapping = boxes_.askTitleMapping(w_.window, offer, save, runKind());
  return choices_.titleMapping;
}

void WindowFrontend::titlesMapped(const imp::FoundHeader& header) {
  for (const std::string& line : imp::foundHeaderLines(header)) importLine(line);
}

bool WindowFrontend::otherSheetHasTitles(const imp::OtherSheet& sheet) {
  flush();
  const std::string line = imp::otherSheetsLine({sheet});
  const QString question =
      checkOnly_ ? QStringLiteral(",按此检查?") : text::gb18030ToQString(std::string(texts::kTakeOtherSheet));
  if (!choices_.otherSheet)
    choices_.otherSheet = boxes_.askOtherSheet(w_.window, text::gb18030ToQString(line) + question, runKind());
  if (!*choices_.otherSheet) return false;
  importLine(line);
  return true;
}

void WindowFrontend::hiddenRowsRead(const std::vector<int32_t>& rows) { importLine(imp::hiddenRowsLine(rows)); }

void WindowFrontend::dataEndedAt(int32_t row, std::string_view nameGbk) {
  importLine(imp::dataEndedLine(row, nameGbk));
}

void WindowFrontend::lineWithoutCode(imp::HistoryKind kind, std::string_view personName, std::string_view name) {
  errorLine(imp::lineWithoutCodeText(kind, personName, name));
}

void WindowFrontend::rowDone(const imp::RowOutcome& row) {
  if (!row.stored) errorLine(imp::rowNotStoredLine(row));
  for (const std::string& w : row.warnings) errorLine(imp::warningLine(row, w));
}

void WindowFrontend::runEnded(const imp::ImportOutcome& o) {
  switch (o.end) {
    case RunEnd::AlreadyRunning: box(o.message, texts::kCaptionInfo); break;
    case RunEnd::NoFile:
      // No file chosen and a chosen file gone since are told alike.
      runState(texts::kMsgNoFileStatus);
      box(texts::kMsgNoFileBox, texts::kCaptionFailed);
      break;
    case RunEnd::WorkbookUnreadable:
      importLine(o.message);
      box(o.message, texts::kCaptionFailed);
      break;
    case RunEnd::LayoutRejected:
      importLine(o.message);
      if (!o.detail.empty()) importLine(o.detail);
      if (!o.sheetsWithTitles.empty()) importLine(imp::otherSheetsLine(o.sheetsWithTitles));
      break;
    case RunEnd::StartRowOutside:
    case RunEnd::Cancelled: importLine(o.message); break;
    case RunEnd::Failed:
      importLine(imp::summaryLine(o));
      importResumeLine(o);
      runState(texts::kMsgRunFailedStatus);
      closingBox(withResumeLine(o.message, o), texts::kCaptionError, o);
      break;
    case RunEnd::Aborted:
      runState(texts::kMsgAborted);
      box(texts::kMsgAborted, texts::kCaptionInfo);
      [[fallthrough]];
    case RunEnd::Completed: {
      // A check wrote nothing: it says what an import would do.
      const std::string done = checkOnly_ ? imp::checkDoneText(o) : imp::doneText(o);
      importLine(imp::summaryLine(o));
      if (o.updating) importLine(imp::notNamedLine(o.peopleNotNamed));
      importResumeLine(o);
      runState(done);
      if (!checkOnly_) closingBox(withResumeLine(done, o), texts::kCaptionInfo, o);
      break;
    }
  }
}

void WindowFrontend::importResumeLine(const imp::ImportOutcome& o) {
  if (o.resumeRow != 0) importLine(imp::resumeLine(o));
}

std::string WindowFrontend::withResumeLine(std::string text, const imp::ImportOutcome& o) {
  if (o.resumeRow != 0) text.append("\n").append(imp::resumeLine(o));
  return text;
}

void WindowFrontend::closingBox(std::string_view gbk, std::string_view captionGbk, const imp::ImportOutcome& o) {
  if (o.rejects.rows.empty()) {
    box(gbk, captionGbk);
    return;
  }
  flush();
  if (!boxes_.showOfferingRejects(w_.window, text::gb18030ToQString(gbk), text::gb18030ToQString(captionGbk))) return;
  const std::optional<QString> path = boxes_.askRejectsPath(w_.window, rejectsSuggestion_);
  if (!path) return;
  try {
    imp::writeRejectWorkbook(path->toStdString(), o.rejects);
  } catch (const sheet::WorkbookWriteError& e) {
    boxes_.show(w_.window, QString::fromUtf8(e.what()), QStringLiteral("错误"), BoxIcon::Error);
    return;
  }
  boxes_.show(w_.window, QStringLiteral("未导入的%1行已保存到 %2").arg(o.rejects.rows.size()).arg(*path),
              text::gb18030ToQString(texts::kCaptionInfo), BoxIcon::None);
}

imp::DuplicateAnswer WindowFrontend::duplicatesFound(const std::vector<imp::DuplicateRow>& rows) {
  flush();
  QString text = QStringLiteral("本部门已有%1人的身份证号与工作簿中的行相同:").arg(rows.size());
  const std::size_t named = std::min(rows.size(), kDuplicatesNamed);
  for (std::size_t i = 0; i < named; ++i)
    text += QStringLiteral("\n第%1行 %2 %3")
                .arg(rows[i].row)
                .arg(text::gb18030ToQString(rows[i].personName), text::gb18030ToQString(rows[i].idCard));
  if (rows.size() > named) text += QStringLiteral("\n……");
  if (!choices_.duplicates) choices_.duplicates = boxes_.askDuplicates(w_.window, text, runKind());
  const imp::DuplicateAnswer answer = *choices_.duplicates;
  if (answer == imp::DuplicateAnswer::SkipExisting)
    for (const imp::DuplicateRow& d : rows) importLine(imp::duplicateLine(d, true));
  return answer;
}

void WindowFrontend::waiting(imp::WaitCause cause) {
  const std::string text = imp::waitingText(cause);
  importLine(text);
  runState(text);
  // Drawn now: a busy database holds the run inside a statement, where no
  // events may run.
  flush();
  w_.importPane->repaint();
  w_.runStatePanel->repaint();
}

void WindowFrontend::importLine(std::string_view gbk) { pendingImport_ << text::gb18030ToQString(gbk); }

void WindowFrontend::errorLine(std::string_view gbk) { pendingError_ << text::gb18030ToQString(gbk); }

void WindowFrontend::runState(std::string_view gbk) { w_.runStatePanel->setText(text::gb18030ToQString(gbk)); }

void WindowFrontend::box(std::string_view gbk, std::string_view captionGbk) {
  flush();
  boxes_.show(w_.window, text::gb18030ToQString(gbk), text::gb18030ToQString(captionGbk), BoxIcon::None);
}

void WindowFrontend::flush() {
  appendLines(w_.importPane, pendingImport_);
  appendLines(w_.errorPane, pendingError_);
  sinceFlush_.restart();
}

void WindowFrontend::processEvents() {
  if (sinceFlush_.elapsed() >= kFlushIntervalMs) flush();
  QCoreApplication::processEvents();
}

void WindowFrontend::progress(int done, int total) {
  const int percent = total > 0 ? static_cast<int>(int64_t{done} * 100 / total) : 0;
  w_.progressBar->setValue(percent);
}

}  // namespace gz::shell
