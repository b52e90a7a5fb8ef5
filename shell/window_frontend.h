// The import run's front end over the window's widgets: it shows what the run
// tells it in the two panes, the run-state panel of the status bar, the
// progress bar and message boxes, and keeps the abort flag.
//
// Pane lines are collected and written a few times a second, when the run
// lets events through: redrawing the panes for every row would make a large
// import many times slower. Everything is written before a message box opens
// and when the front end goes away, so what the operator reads is complete.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/shared/frontend.h"
#include "import/shared/title_names.h"
#include "shell/message_boxes.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace gz::shell {

class MessageBoxes;

// The operator's answers to the questions a run asks before it writes, so
// that an import started from a check's preview goes as the check went.
struct RunChoices {
  std::optional<imp::DuplicateAnswer> duplicates;
  std::optional<bool> foundTitles;
  std::optional<bool> otherSheet;
  std::optional<imp::TitleMapping> titleMapping;  // the columns chosen in the mapping dialog
};

struct FrontendWidgets {
  QWidget* window = nullptr;  // parent of the message boxes
  QPlainTextEdit* importPane = nullptr;
  QPlainTextEdit* errorPane = nullptr;
  QLabel* runStatePanel = nullptr;  // the status bar's second panel
  QProgressBar* progressBar = nullptr;
};

class WindowFrontend final : public imp::Frontend {
 public:
  // `abortFlag` is the window's: the abort button sets it, the run clears
  // and polls it through this object.
  WindowFrontend(const FrontendWidgets& widgets, MessageBoxes& boxes, int32_t& abortFlag)
      : w_(widgets), boxes_(boxes), abortFlag_(abortFlag) {
    sinceFlush_.start();
  }
  ~WindowFrontend() override { flush(); }
  WindowFrontend(const WindowFrontend&) = delete;
  WindowFrontend& operator=(const WindowFrontend&) = delete;

  void workbookNotice(std::string_view gbk) override { importLine(gbk); }
  void deletingDepartment() override;
  void titleUnreadable(int32_t column) override;
  void layoutAccepted() override;
  // Asks the operator (导入 / 取消), naming the sheet, the rows and the titles
  // found; once taken, the same lines go to the import pane.
  bool titlesFound(const imp::FoundHeader& header) override;
  // The mapping dialog; its 保存 adds the names chosen to the titles file.
  bool mapsTitles() const override { return true; }
  std::optional<imp::TitleMapping> mapTitles(const imp::TitleOffer& offer) override;
  // The lines of the titles chosen go to the import pane.
  void titlesMapped(const imp::FoundHeader& header) override;
  void dataEndedAt(int32_t row, std::string_view nameGbk) override;
  // Asks whether to import that sheet instead (导入/取消).
  bool otherSheetHasTitles(const imp::OtherSheet& sheet) override;
  void hiddenRowsRead(const std::vector<int32_t>& rows) override;
  void datesReadAsTyped(const imp::TypedDateCounter& counted) override;
  void rowStarted(int32_t, std::string_view personName) override { importLine(personName); }
  void lineWithoutCode(imp::HistoryKind kind, std::string_view personName, std::string_view name) override;
  void rowDone(const imp::RowOutcome& row) override;
  void progress(int done, int total) override;
  void runEnded(const imp::ImportOutcome& outcome) override;
  void processEvents() override;
  void clearAbort() override { abortFlag_ = 0; }
  bool abortRequested() override { return abortFlag_ != 0; }
  // Asks the operator, naming how many and the first few; rows left out are
  // listed in the import pane.
  imp::DuplicateAnswer duplicatesFound(const std::vector<imp::DuplicateRow>& rows) override;
  void waiting(imp::WaitCause cause) override;

  // Writes the collected pane lines.
  void flush();
  // Where the save dialog for the rows not stored starts.
  void suggestRejectsFile(const QString& path) { rejectsSuggestion_ = path; }
  // The run writes nothing: its end says what an import would store, and
  // the preview that follows shows it instead of a closing box.
  void setCheckOnly(bool checkOnly) { checkOnly_ = checkOnly; }
  RunKind runKind() const { return checkOnly_ ? RunKind::Check : RunKind::Import; }
  // The titles file the mapping dialog saves into, and the names the run
  // knows already (which need no saving).
  void setTitlesFile(std::filesystem::path file, imp::TitleNames known) {
    titlesFile_ = std::move(file);
    knownTitles_ = std::move(known);
  }
  // The answers given so far; answers given beforehand are not asked again.
  const RunChoices& choices() const { return choices_; }
  void repeatChoices(const RunChoices& choices) { choices_ = choices; }

 private:
  void importLine(std::string_view gbk);
  void errorLine(std::string_view gbk);
  void runState(std::string_view gbk);
  void box(std::string_view gbk, std::string_view captionGbk);
  // A run that ended early says, last, from which row to continue.
  void importResumeLine(const imp::ImportOutcome& o);
  static std::string withResumeLine(std::string text, const imp::ImportOutcome& o);
  // The run's last box; with rows not stored it offers to save them.
  void closingBox(std::string_view gbk, std::string_view captionGbk, const imp::ImportOutcome& o);

  FrontendWidgets w_;
  MessageBoxes& boxes_;
  int32_t& abortFlag_;
  QStringList pendingImport_, pendingError_;
  QElapsedTimer sinceFlush_;
  QString rejectsSuggestion_;
  bool checkOnly_ = false;
  std::filesystem::path titlesFile_ = std::string(imp::kTitlesFileName);
  imp::TitleNames knownTitles_;
  RunChoices choices_;
};

}  // namespace gz::shell
