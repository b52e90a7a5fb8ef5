#include "import/shared/run_texts.h"

#include "import/shared/step_context.h"
#include "import/shared/texts.h"
#include "text/bytes.h"
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
  if (o.updating) return updateSummaryLine(o);
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

std::string updateSummaryLine(const ImportOutcome& o) {
  std::string s(texts::kUpdateAdded);
  s.append(std::to_string(o.personsStored - o.personsUpdated)).append(texts::kUpdateUpdated);
  s.append(std::to_string(o.personsUpdated)).append(texts::kSummaryFailed);
  return s.append(std::to_string(o.rowsFailed)).append(texts::kUpdateRows);
}

std::string notNamedLine(int people) {
  std::string s(texts::kNotNamedPeople);
  return s.append(std::to_string(people)).append(texts::kNotNamedKept);
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

std::string startRowOutsideMessage(int32_t firstRow, int32_t firstDataRow, int dataRows) {
  std::string m(texts::kMsgStartRowPrefix);
  m.append(std::to_string(firstRow));
  if (dataRows == 0) return m.append(texts::kMsgStartRowNoData);
  m.append(texts::kMsgStartRowOutside).append(std::to_string(firstDataRow)).append(texts::kRowsTo);
  m.append(std::to_string(firstDataRow + dataRows - 1));
  return m.append(texts::kRowWord);
}

namespace {

// A title with line breaks in its cell, on one line: the breaks as \n.
std::string oneLine(std::string_view title) {
  std::string out;
  for (const std::string& line : text::splitLines(title)) {
    if (!out.empty()) out.append("\\n");
    out.append(line);
  }
  return out;
}

}  // namespace

std::string rowsLabel(TitleRows rows) {
  std::string label(texts::kRowPrefix);
  label.append(std::to_string(rows.first));
  if (rows.last != rows.first) label.append(texts::kRowsBetween).append(std::to_string(rows.last));
  return label.append(texts::kRowWord);
}

std::string missingTitlesLine(TitleRows rows, const std::vector<std::string_view>& missing) {
  std::string line = rowsLabel(rows).append(texts::kLacksTitles);
  for (std::size_t i = 0; i < missing.size(); ++i) {
    if (i > 0) line.append(texts::kListSeparator);
    line.append(missing[i]);
  }
  return line;
}

std::string hasTitlesLine(TitleRows rows) { return rowsLabel(rows).append(texts::kHasTitles); }

std::string otherSheetsLine(const std::vector<OtherSheet>& sheets) {
  std::string line;
  for (const OtherSheet& sheet : sheets) {
    if (!line.empty()) line.append(texts::kListSeparator);
    line.append(texts::kRowPrefix).append(std::to_string(sheet.number)).append(texts::kSheetNumbered);
    line.append(sheet.name).append("\"");
  }
  return line.append(texts::kHasTitles);
}

std::string hiddenRowsLine(const std::vector<int32_t>& rows) {
  std::string line(texts::kHiddenRows);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i > 0) line.append(texts::kListSeparator);
    line.append(std::to_string(rows[i]));
  }
  return line.append(texts::kHiddenRowsImported);
}

std::vector<std::string> foundHeaderLines(const FoundHeader& header) {
  std::vector<std::string> lines;
  lines.push_back(std::string(texts::kFoundSheet).append(header.sheetName));
  lines.push_back(std::string(texts::kFoundTitlesAt).append(rowsLabel(header.rows)));
  // A title stands in the first row the title line names, as the import
  // reads it, unless it was read from the lower of two rows or in another
  // form or name.
  for (const FoundTitle& t : header.titles) {
    if (t.match == TitleMatch::Exact && t.row == header.rows.first) continue;
    std::string line(texts::kRowPrefix);
    line.append(std::to_string(t.row)).append(texts::kRowThenColumn).append(std::to_string(t.column));
    line.append(texts::kColumnQuote).append(oneLine(t.asRead));
    if (t.match == TitleMatch::Exact) line.append("\"");
    else line.append(texts::kQuoteAs).append(t.title);
    lines.push_back(std::move(line));
  }
  if (header.lastDataRow < header.firstDataRow) {
    lines.emplace_back(texts::kSheetHasNoDataRows);
  } else {
    std::string rows(texts::kFoundDataRows);
    rows.append(std::to_string(header.firstDataRow)).append(texts::kRowsTo);
    lines.push_back(rows.append(std::to_string(header.lastDataRow)).append(texts::kRowWord));
  }
  return lines;
}

std::string dataEndedLine(int32_t footerRow, std::string_view nameGbk) {
  std::string line(texts::kDataEndsAt);
  line.append(std::to_string(footerRow - 1)).append(texts::kDataEndsBecause).append(std::to_string(footerRow));
  return line.append(texts::kRowQuote).append(nameGbk).append(texts::kQuoteNotAPerson);
}

}  // namespace gz::imp
