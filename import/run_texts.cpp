#include "import/run_texts.h"

#include "import/step_context.h"
#include "import/texts.h"
#include "text/gb18030.h"

namespace gz::imp {

std::string rowNotStoredLine(const RowOutcome& row) {
  std::string line(texts::kRowPrefix);
  line.append(std::to_string(row.row)).append(texts::kRowSuffix).append(row.personName).append(":");
  line.append(row.reason).append(texts::kRowNotImported);
  return line;
}

std::string warningLine(const RowOutcome& row, std::string_view warning) {
  std::string line(texts::kRowPrefix);
  line.append(std::to_string(row.row)).append(texts::kRowSuffix).append(row.personName).append(":");
  return line.append(warning);
}

std::string lineWithoutCodeText(HistoryKind kind, std::string_view personName, std::string_view name) {
  std::string line;
  switch (kind) {
    case HistoryKind::Education: line = texts::kReportEducation; break;
    case HistoryKind::Position: line = texts::kReportPosition; break;
    case HistoryKind::Assessment: line = texts::kReportAssessment; break;
  }
  line.append(personName).append(":").append(name);
  return line;
}

std::string waitingText(WaitCause cause) {
  switch (cause) {
    case WaitCause::DatabaseBusy: return std::string(texts::kMsgDatabaseBusy);
    case WaitCause::OverlappingRun: return std::string(texts::kMsgOverlappingRunWaiting);
  }
  return {};
}

std::string summaryLine(const ImportOutcome& o) {
  std::string s(texts::kSummaryPersons);
  s.append(std::to_string(o.personsStored)).append(texts::kSummaryFailed);
  s.append(std::to_string(o.rowsFailed));
  if (o.rowsSkipped != 0) s.append(texts::kSummarySkipped).append(std::to_string(o.rowsSkipped));
  s.append(texts::kSummaryHistory);
  s.append(std::to_string(o.historyRowsStored)).append(texts::kSummaryReports);
  s.append(std::to_string(o.linesReported)).append(texts::kSummaryEnd);
  if (o.warnings != 0) s.append(texts::kSummaryWarnings).append(std::to_string(o.warnings)).append(texts::kSummaryEnd);
  return s;
}

std::string doneText(const ImportOutcome& o) {
  std::string s(o.rowsFailed == 0 ? texts::kMsgSuccess : texts::kMsgDoneWithFailures);
  if (o.rowsFailed != 0) s.append(std::to_string(o.rowsFailed)).append(texts::kMsgRowsNotImported);
  if (o.warnings != 0) s.append(texts::kWarningsWord).append(std::to_string(o.warnings)).append(texts::kSummaryEnd);
  return s;
}

std::string checkDoneText(const ImportOutcome& o) {
  std::string s(texts::kCheckWillImport);
  s.append(std::to_string(o.personsStored)).append(texts::kSummaryFailed).append(std::to_string(o.rowsFailed));
  return s.append(texts::kCheckRowsWarnings).append(std::to_string(o.warnings)).append(texts::kSummaryEnd);
}

std::string noWorkbookMessage(std::string_view path) {
  if (path.empty()) return std::string(texts::kMsgNoFileBox);
  return std::string(texts::kMsgWorkbookMissing) + text::utf8ToGb18030(path);
}

std::string unreadableWorkbookMessage(std::string_view path, std::string_view reasonUtf8) {
  return std::string(texts::kMsgWorkbookUnreadable) + text::utf8ToGb18030(path) + ": " +
         text::utf8ToGb18030(reasonUtf8);
}

std::string runFailedMessage(bool finishedRowsKept, std::string_view reasonGbk) {
  return std::string(finishedRowsKept ? texts::kMsgRunFailed : texts::kMsgRunFailedBatchLost) + std::string(reasonGbk);
}

std::string duplicateLine(const DuplicateRow& row, bool skipped) {
  std::string line(texts::kRowPrefix);
  line.append(std::to_string(row.row)).append(texts::kRowSuffix).append(row.personName);
  line.append(texts::kDuplicateIdCard).append(row.idCard);
  if (row.sameAsRow == 0) {
    line.append(texts::kDuplicateExists);
  } else {
    line.append(texts::kDuplicateSameAs).append(std::to_string(row.sameAsRow)).append(texts::kRowWord);
    line.append(row.sameAsName).append(texts::kDuplicateSame);
  }
  if (skipped) line.append(texts::kDuplicateSkipped);
  return line;
}

std::string duplicatesRefusedMessage(int count, bool withinWorkbook) {
  return std::to_string(count) +
         std::string(withinWorkbook ? texts::kMsgDuplicatesRefusedInBook : texts::kMsgDuplicatesRefused);
}

std::string resumeLine(const ImportOutcome& o) {
  if (o.resumeRow == 0) return {};
  std::string line(o.resumeByAppending ? texts::kResumeAppendingFromRow : texts::kResumeFromRow);
  return line.append(std::to_string(o.resumeRow)).append(texts::kResumeRowEnd);
}

std::string startRowOutsideMessage(int32_t firstRow, int dataRows) {
  std::string m(texts::kMsgStartRowPrefix);
  m.append(std::to_string(firstRow));
  if (dataRows == 0) return m.append(texts::kMsgStartRowNoData);
  m.append(texts::kMsgStartRowOutside).append(std::to_string(kFirstDataRow + dataRows - 1));
  return m.append(texts::kRowWord);
}

}  // namespace gz::imp
