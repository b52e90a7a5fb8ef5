#include "shell/window_frontend.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "import/column_map.h"
#include "import/run_texts.h"
#include "import/texts.h"
#include "import/typed_date_counter.h"
#include "shell/message_boxes.h"
#include "text/gb18030.h"

namespace gz::shell {

namespace {
// How often collected lines reach the panes while a run goes on.
constexpr qint64 kFlushIntervalMs = 50;

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

void WindowFrontend::lineWithoutCode(imp::HistoryKind kind, std::string_view personName, std::string_view name) {
  errorLine(imp::lineWithoutCodeText(kind, personName, name));
}

void WindowFrontend::rowDone(const imp::RowOutcome& row) {
  if (!row.stored) errorLine(imp::rowNotStoredLine(row));
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
    case RunEnd::LayoutRejected: importLine(o.message); break;
    case RunEnd::Failed:
      importLine(imp::summaryLine(o));
      runState(texts::kMsgRunFailedStatus);
      box(o.message, texts::kCaptionError);
      break;
    case RunEnd::Aborted:
      runState(texts::kMsgAborted);
      box(texts::kMsgAborted, texts::kCaptionInfo);
      [[fallthrough]];
    case RunEnd::Completed:
      importLine(imp::summaryLine(o));
      runState(imp::doneText(o));
      box(imp::doneText(o), texts::kCaptionInfo);
      break;
  }
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
