// The import run's front end on a terminal: what the window shows in its
// import pane, run-state panel and message boxes goes to stdout, what it
// shows in its error pane to stderr, UTF-8, one line each. Ctrl-C stands for
// the abort button; progress is drawn on stderr when it is a terminal. Lines
// going to a file or a pipe wait in cli/line_output's buffer until a batch is
// committed, a Ctrl-C arrives or the run ends.
#pragma once

#include <string_view>
#include <vector>

#include "import/shared/frontend.h"
#include "import/shared/run_texts.h"

namespace gz::cli {

class ConsoleFrontend : public imp::Frontend {
 public:
  explicit ConsoleFrontend(bool showProgress) : showProgress_(showProgress) {}
  ~ConsoleFrontend() override { clearProgress(); }
  ConsoleFrontend(const ConsoleFrontend&) = delete;
  ConsoleFrontend& operator=(const ConsoleFrontend&) = delete;

  void workbookNotice(std::string_view gbk) override { out(gbk); }
  void deletingDepartment() override;
  void titleUnreadable(int32_t column) override;
  void layoutAccepted() override;
  // Prints what was found and takes it with --find-titles; without it the
  // run is refused and its last line says so.
  bool titlesFound(const imp::FoundHeader& header) override;
  // The titles chosen with --title: printed as --find-titles prints a header found.
  void titlesMapped(const imp::FoundHeader& header) override;
  // The command line reads another sheet only when told to (--sheet); the
  // refusal names the sheets that would do.
  bool otherSheetHasTitles(const imp::OtherSheet&) override { return false; }
  void hiddenRowsRead(const std::vector<int32_t>& rows) override { out(imp::hiddenRowsLine(rows)); }
  void dataEndedAt(int32_t row, std::string_view nameGbk) override { out(imp::dataEndedLine(row, nameGbk)); }
  void datesReadAsTyped(const imp::TypedDateCounter& counted) override;
  void rowStarted(int32_t, std::string_view personName) override { out(personName); }
  void lineWithoutCode(imp::HistoryKind kind, std::string_view personName, std::string_view name) override;
  void rowDone(const imp::RowOutcome& row) override;
  void progress(int done, int total) override;
  void runEnded(const imp::ImportOutcome& outcome) override;
  void processEvents() override {}
  // One run per process: a Ctrl-C before the run began still stops it after its first row.
  void clearAbort() override {}
  bool abortRequested() override;
  // Shown at once: a wait can last, and someone may be watching the output.
  void waiting(imp::WaitCause cause) override;
  void batchCommitted() override;

  // The first duplicates are named; the answer is the one set below.
  imp::DuplicateAnswer duplicatesFound(const std::vector<imp::DuplicateRow>& rows) override;

  // A line for the error stream, as the window's error pane gets it (GBK).
  void errorLine(std::string_view gbk);
  // How rows whose people the department has are treated (Cancel unless set).
  void answerDuplicatesWith(imp::DuplicateAnswer answer) { duplicateAnswer_ = answer; }
  // Whether a header found below row 1 is imported by (--find-titles).
  void takeFoundTitles(bool take) { takeFoundTitles_ = take; }

 private:
  void out(std::string_view gbk);
  void box(std::string_view gbk, std::string_view captionGbk);
  void reportEnd(const imp::ImportOutcome& outcome);
  void clearProgress();

  bool showProgress_;
  bool progressShown_ = false;
  imp::DuplicateAnswer duplicateAnswer_ = imp::DuplicateAnswer::Cancel;
  bool takeFoundTitles_ = false;
};

}  // namespace gz::cli
