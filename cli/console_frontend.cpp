#include "cli/console_frontend.h"

#include <algorithm>
#include <cstdio>

#include "cli/command.h"
#include "cli/line_output.h"
#include "cli/terminal.h"
#include "import/shared/column_map.h"
#include "import/shared/run_texts.h"
#include "import/shared/step_context.h"
#include "import/shared/texts.h"
#include "import/shared/typed_date_counter.h"
#include "text/gb18030.h"

namespace gz::cli {

using imp::RunEnd;

namespace {
// How many of the rows whose people the department has a refusal names.
constexpr std::size_t kDuplicatesNamed = 10;
}  // namespace
using text::gb18030ToUtf8;
namespace texts = imp::texts;

void ConsoleFrontend::deletingDepartment() { out(texts::kMsgDeleting); }

void ConsoleFrontend::titleUnreadable(int32_t column) { out(imp::unreadableTitleLine(column)); }

void ConsoleFrontend::datesReadAsTyped(const imp::TypedDateCounter& counted) {
  for (const std::string& line : counted.lines()) out(line);
}

void ConsoleFrontend::layoutAccepted() { out(texts::kMsgLayoutAccepted); }

bool ConsoleFrontend::titlesFound(const imp::FoundHeader& header) {
  if (!takeFoundTitles_) return false;
  for (const std::string& line : imp::foundHeaderLines(header)) out(line);
  return true;
}

void ConsoleFrontend::titlesMapped(const imp::FoundHeader& header) {
  for (const std::string& line : imp::foundHeaderLines(header)) out(line);
}

void ConsoleFrontend::lineWithoutCode(imp::HistoryKind kind, std::string_view personName, std::string_view name) {
  errorLine(imp::lineWithoutCodeText(kind, personName, name));
}

void ConsoleFrontend::rowDone(const imp::RowOutcome& row) {
  if (!row.stored) errorLine(imp::rowNotStoredLine(row));
  for (const std::string& w : row.warnings) errorLine(imp::warningLine(row, w));
}

void ConsoleFrontend::runEnded(const imp::ImportOutcome& o) {
  reportEnd(o);
  flushLines();
}

void ConsoleFrontend::reportEnd(const imp::ImportOutcome& o) {
  switch (o.end) {
    case RunEnd::AlreadyRunning: box(o.message, texts::kCaptionInfo); break;
    case RunEnd::NoFile:
      // The message says which workbook is missing, or that none was named.
      out(texts::kMsgNoFileStatus);
      box(o.message, texts::kCaptionFailed);
      break;
    case RunEnd::WorkbookUnreadable:
      out(o.message);
      box(o.message, texts::kCaptionFailed);
      break;
    case RunEnd::LayoutRejected:
      out(o.message);
      if (o.titlesNotTaken) {
        clearProgress();
        printOut(gb18030ToUtf8(o.detail) + ": 用 --find-titles 按此导入");
      } else if (!o.detail.empty()) {
        out(o.detail);
      }
      if (!o.sheetsWithTitles.empty()) {
        clearProgress();
        printOut(gb18030ToUtf8(imp::otherSheetsLine(o.sheetsWithTitles)) + ": 用 --sheet " +
                 std::to_string(o.sheetsWithTitles.front().number) + " 按此导入");
      }
      break;
    case RunEnd::StartRowOutside:
    case RunEnd::Cancelled: out(o.message); break;
    case RunEnd::Failed:
      out(imp::summaryLine(o));
      out(texts::kMsgRunFailedStatus);
      box(o.message, texts::kCaptionError);
      break;
    case RunEnd::Aborted:
      out(texts::kMsgAborted);
      box(texts::kMsgAborted, texts::kCaptionInfo);
      [[fallthrough]];
    case RunEnd::Completed:
      out(imp::summaryLine(o));
      if (o.updating) out(imp::notNamedLine(o.peopleNotNamed));
      out(imp::doneText(o));
      box(imp::doneText(o), texts::kCaptionInfo);
      break;
  }
  if (o.resumeRow == 0) return;
  // The last line says how to go on; from the first data row that is simply
  // the same command again.
  std::string resume = gb18030ToUtf8(imp::resumeLine(o));
  if (o.resumeRow > imp::kFirstDataRow) resume += " (--start-row " + std::to_string(o.resumeRow) + ")";
  clearProgress();
  printOut(resume);
}

void ConsoleFrontend::waiting(imp::WaitCause cause) {
  out(imp::waitingText(cause));
  flushLines();
}

void ConsoleFrontend::batchCommitted() { flushLines(); }

void ConsoleFrontend::out(std::string_view gbk) {
  clearProgress();
  printOut(gb18030ToUtf8(gbk));
}

void ConsoleFrontend::errorLine(std::string_view gbk) {
  clearProgress();
  printErr(gb18030ToUtf8(gbk));
}

void ConsoleFrontend::box(std::string_view gbk, std::string_view captionGbk) {
  clearProgress();
  printOut("[" + gb18030ToUtf8(captionGbk) + "] " + gb18030ToUtf8(gbk));
}

imp::DuplicateAnswer ConsoleFrontend::duplicatesFound(const std::vector<imp::DuplicateRow>& rows) {
  if (duplicateAnswer_ == imp::DuplicateAnswer::SkipExisting) {
    for (const imp::DuplicateRow& d : rows) out(imp::duplicateLine(d, true));
  } else if (duplicateAnswer_ == imp::DuplicateAnswer::Cancel) {
    const std::size_t named = std::min(rows.size(), kDuplicatesNamed);
    for (std::size_t i = 0; i < named; ++i) errorLine(imp::duplicateLine(rows[i], false));
    if (rows.size() > named) printErr("... (" + std::to_string(rows.size()) + ")");
    printErr("--skip-existing: 只导入新人员; --allow-duplicates: 全部导入");
  }
  return duplicateAnswer_;
}

bool ConsoleFrontend::abortRequested() {
  if (!interruptRequested()) return false;
  writeLinesAtOnce();
  return true;
}

void ConsoleFrontend::progress(int done, int total) {
  if (!showProgress_ || total <= 0) return;
  std::fprintf(stderr, "\r%d/%d", done, total);
  std::fflush(stderr);
  progressShown_ = true;
}

void ConsoleFrontend::clearProgress() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  progressShown_ = false;
}

}  // namespace gz::cli
