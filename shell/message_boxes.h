// Message boxes with one OK button, and the question for a workbook's
// password. The window shows every box through this interface, so tests can
// see each box and answer it at the moment it opens.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "import/shared/outcome.h"
#include "import/shared/title_mapping.h"
#include "shell/title_mapping_dialog.h"

class QWidget;
namespace gz::imp {
class RowResults;
}

namespace gz::shell {

enum class BoxIcon { None, Error };

// Whether the run that asks a question imports or only checks: a check
// stores nothing, so its questions offer 检查 where an import's offer 导入.
enum class RunKind { Import, Check };

// The buttons of the questions asked before a run, in the order shown; the
// last is 取消, also the answer when the box is closed.
// Go on with the run: 导入 or 检查, then 取消.
QStringList proceedButtons(RunKind kind);
// Rows whose people the department has: the new people only, every row,
// update the people there, then 取消.
QStringList duplicateButtons(RunKind kind);

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and returns when the operator has dismissed it.
  virtual void show(QWidget* parent, const QString& text, const QString& caption, BoxIcon icon) = 0;
  // Asks for the password of the encrypted workbook at `path`, naming the
  // file; `lastWasWrong` says that the password given before did not open
  // it. Returns the password, or nullopt when the operator chose 取消.
  virtual std::optional<QString> askPassword(QWidget* parent, const QString& path, bool lastWasWrong) = 0;
  // Asks what to do with rows whose people the department has already, with
  // duplicateButtons(kind): the new people only, every row, update those
  // people in place, or 取消 (also the answer when the box is closed).
  virtual imp::DuplicateAnswer askDuplicates(QWidget* parent, const QString& text, RunKind kind) = 0;
  // Asks whether to go on by the titles found below row 1 (`text` says
  // where), with proceedButtons(kind): true for 导入 or 检查.
  virtual bool askFoundTitles(QWidget* parent, const QString& text, RunKind kind) = 0;
  // Asks which column of the sheet feeds each field the import reads (the
  // mapping dialog); `save` keeps a choice's names in titles.txt (保存). The
  // choice for 导入 (检查 before a check), or nullopt for 取消 (also when the
  // dialog is closed).
  virtual std::optional<imp::TitleMapping> askTitleMapping(QWidget* parent, const imp::TitleOffer& offer,
                                                           const TitleSaver& save, RunKind kind) = 0;
  // Asks whether to go on with another worksheet that has the titles (`text`
  // names it), with proceedButtons(kind): true for 导入 or 检查.
  virtual bool askOtherSheet(QWidget* parent, const QString& text, RunKind kind) = 0;
  // The closing box of a run that left rows unstored: OK and
  // 保存未导入的行…; true when the operator chose to save them.
  virtual bool showOfferingRejects(QWidget* parent, const QString& text, const QString& caption) = 0;
  // The save dialog for those rows, starting at `suggested`; nullopt when cancelled.
  virtual std::optional<QString> askRejectsPath(QWidget* parent, const QString& suggested) = 0;
  // The save dialog of 导出…, starting at `suggested`; nullopt when cancelled.
  virtual std::optional<QString> askExportPath(QWidget* parent, const QString& suggested) = 0;
  // Lets the operator choose one of the runs (one line each); the index, or nullopt when cancelled.
  virtual std::optional<int> askRunToTakeBack(QWidget* parent, const QStringList& runs) = 0;
  // Asks to confirm `text` with the button `confirmButton` and 取消: true for
  // the confirming button, false for 取消 or a closed box.
  virtual bool askConfirm(QWidget* parent, const QString& text, const QString& caption,
                          const QString& confirmButton) = 0;
  // The preview of a check (shell/preview_dialog.h) over its rows' results,
  // headed by `summary`: true when the operator chose 导入, false for 关闭.
  virtual bool showPreview(QWidget* parent, const imp::RowResults& results, const QString& summary) = 0;
};

// The texts of the password question.
QString passwordQuestionText(const QString& path, bool lastWasWrong);

// The real, modal QMessageBox.
class QtMessageBoxes final : public MessageBoxes {
 public:
  void show(QWidget* parent, const QString& text, const QString& caption, BoxIcon icon) override;
  std::optional<QString> askPassword(QWidget* parent, const QString& path, bool lastWasWrong) override;
  imp::DuplicateAnswer askDuplicates(QWidget* parent, const QString& text, RunKind kind) override;
  bool askFoundTitles(QWidget* parent, const QString& text, RunKind kind) override;
  std::optional<imp::TitleMapping> askTitleMapping(QWidget* parent, const imp::TitleOffer& offer,
                                                   const TitleSaver& save, RunKind kind) override;
  bool askOtherSheet(QWidget* parent, const QString& text, RunKind kind) override;
  bool showOfferingRejects(QWidget* parent, const QString& text, const QString& caption) override;
  std::optional<QString> askRejectsPath(QWidget* parent, const QString& suggested) override;
  std::optional<QString> askExportPath(QWidget* parent, const QString& suggested) override;
  std::optional<int> askRunToTakeBack(QWidget* parent, const QStringList& runs) override;
  bool askConfirm(QWidget* parent, const QString& text, const QString& caption, const QString& confirmButton) override;
  bool showPreview(QWidget* parent, const imp::RowResults& results, const QString& summary) override;
};

struct ShownBox {
  QString text;
  QString caption;
  BoxIcon icon = BoxIcon::None;
  bool offeredRejects = false;  // it had the button 保存未导入的行…
};

struct PasswordQuestion {
  QString path;
  bool lastWasWrong = false;
};

// Records each box instead of showing it. `onShow` runs while the box is
// "open", before show() returns: what a test does there happens before the
// operator's OK, exactly as with a modal box. A password question is
// answered by `answerPassword` (取消 when it is not set).
class RecordingMessageBoxes final : public MessageBoxes {
 public:
  void show(QWidget* parent, const QString& text, const QString& caption, BoxIcon icon) override;
  std::optional<QString> askPassword(QWidget* parent, const QString& path, bool lastWasWrong) override;
  const std::vector<PasswordQuestion>& passwordQuestions() const { return questions_; }
  std::function<std::optional<QString>(const PasswordQuestion&)> answerPassword;
  imp::DuplicateAnswer askDuplicates(QWidget* parent, const QString& text, RunKind kind) override;
  // The duplicate questions asked, answered with `duplicateAnswer`.
  QStringList duplicateQuestions;
  imp::DuplicateAnswer duplicateAnswer = imp::DuplicateAnswer::Cancel;
  // The questions about titles found below row 1, answered with `takeFoundTitles`.
  bool askFoundTitles(QWidget* parent, const QString& text, RunKind kind) override;
  QStringList foundTitlesQuestions;
  bool takeFoundTitles = false;
  // The mapping dialogs opened, each with what it offered, answered by
  // `answerTitleMapping` (取消 when it is not set), which may save as 保存 does.
  std::optional<imp::TitleMapping> askTitleMapping(QWidget* parent, const imp::TitleOffer& offer,
                                                   const TitleSaver& save, RunKind kind) override;
  std::vector<imp::TitleOffer> titleOffers;
  std::function<std::optional<imp::TitleMapping>(const imp::TitleOffer&, const TitleSaver&)> answerTitleMapping;
  bool askOtherSheet(QWidget* parent, const QString& text, RunKind kind) override;
  // The questions about another worksheet with the titles, answered with `takeOtherSheet`.
  QStringList otherSheetQuestions;
  bool takeOtherSheet = false;
  // The buttons each of those three questions offered, in the order asked.
  std::vector<QStringList> questionButtons;
  // The closing box with 保存未导入的行… is recorded like the others and
  // answered with `saveRejects`; the save dialog with `rejectsPath`.
  bool showOfferingRejects(QWidget* parent, const QString& text, const QString& caption) override;
  std::optional<QString> askRejectsPath(QWidget* parent, const QString& suggested) override;
  bool saveRejects = false;
  std::optional<QString> rejectsPath;
  QStringList suggestedRejectsPaths;
  // The save dialog of 导出…, answered with `exportPath`.
  std::optional<QString> askExportPath(QWidget* parent, const QString& suggested) override;
  std::optional<QString> exportPath;
  QStringList suggestedExportPaths;
  // The lists of runs offered, answered with `runToTakeBack`; the
  // confirmations asked, answered with `confirm`.
  std::optional<int> askRunToTakeBack(QWidget* parent, const QStringList& runs) override;
  bool askConfirm(QWidget* parent, const QString& text, const QString& caption, const QString& confirmButton) override;
  std::vector<QStringList> runLists;
  std::optional<int> runToTakeBack;
  QStringList confirmations;
  bool confirm = false;
  // The previews shown (their summaries); `onPreview` runs while one is open
  // and sees its rows; answered with `importFromPreview`.
  bool showPreview(QWidget* parent, const imp::RowResults& results, const QString& summary) override;
  QStringList previews;
  std::function<void(const imp::RowResults&)> onPreview;
  bool importFromPreview = false;

  const std::vector<ShownBox>& shown() const { return shown_; }
  QStringList texts() const;
  void clear() { shown_.clear(); }

  std::function<void(const ShownBox&)> onShow;

 private:
  std::vector<ShownBox> shown_;
  std::vector<PasswordQuestion> questions_;
};

}  // namespace gz::shell
