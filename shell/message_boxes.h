// Message boxes with one OK button, and the question for a workbook's
// password. The window shows every box through this interface, so tests can
// see each box and answer it at the moment it opens.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "import/outcome.h"

class QWidget;

namespace gz::shell {

enum class BoxIcon { None, Error };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and returns when the operator has dismissed it.
  virtual void show(QWidget* parent, const QString& text, const QString& caption, BoxIcon icon) = 0;
  // Asks for the password of the encrypted workbook at `path`, naming the
  // file; `lastWasWrong` says that the password given before did not open
  // it. Returns the password, or nullopt when the operator chose 取消.
  virtual std::optional<QString> askPassword(QWidget* parent, const QString& path, bool lastWasWrong) = 0;
  // Asks what to do with rows whose people the department has already:
  // 只导入新人员, 全部导入, 更新已有人员 (update those people in place) or 取消
  // (also the answer when the box is closed).
  virtual imp::DuplicateAnswer askDuplicates(QWidget* parent, const QString& text) = 0;
  // Asks whether to import by the titles found below row 1 (`text` says
  // where): 导入 (true) or 取消 (also when the box is closed).
  virtual bool askFoundTitles(QWidget* parent, const QString& text) = 0;
  // Asks whether to import another worksheet that has the titles (`text`
  // names it): 导入 (true) or 取消 (also when the box is closed).
  virtual bool askOtherSheet(QWidget* parent, const QString& text) = 0;
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
};

// The texts of the password question.
QString passwordQuestionText(const QString& path, bool lastWasWrong);

// The real, modal QMessageBox.
class QtMessageBoxes final : public MessageBoxes {
 public:
  void show(QWidget* parent, const QString& text, const QString& caption, BoxIcon icon) override;
  std::optional<QString> askPassword(QWidget* parent, const QString& path, bool lastWasWrong) override;
  imp::DuplicateAnswer askDuplicates(QWidget* parent, const QString& text) override;
  bool askFoundTitles(QWidget* parent, const QString& text) override;
  bool askOtherSheet(QWidget* parent, const QString& text) override;
  bool showOfferingRejects(QWidget* parent, const QString& text, const QString& caption) override;
  std::optional<QString> askRejectsPath(QWidget* parent, const QString& suggested) override;
  std::optional<QString> askExportPath(QWidget* parent, const QString& suggested) override;
  std::optional<int> askRunToTakeBack(QWidget* parent, const QStringList& runs) override;
  bool askConfirm(QWidget* parent, const QString& text, const QString& caption, const QString& confirmButton) override;
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
  imp::DuplicateAnswer askDuplicates(QWidget* parent, const QString& text) override;
  // The duplicate questions asked, answered with `duplicateAnswer`.
  QStringList duplicateQuestions;
  imp::DuplicateAnswer duplicateAnswer = imp::DuplicateAnswer::Cancel;
  // The questions about titles found below row 1, answered with `takeFoundTitles`.
  bool askFoundTitles(QWidget* parent, const QString& text) override;
  QStringList foundTitlesQuestions;
  bool takeFoundTitles = false;
  bool askOtherSheet(QWidget* parent, const QString& text) override;
  // The questions about another worksheet with the titles, answered with `takeOtherSheet`.
  QStringList otherSheetQuestions;
  bool takeOtherSheet = false;
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

  const std::vector<ShownBox>& shown() const { return shown_; }
  QStringList texts() const;
  void clear() { shown_.clear(); }

  std::function<void(const ShownBox&)> onShow;

 private:
  std::vector<ShownBox> shown_;
  std::vector<PasswordQuestion> questions_;
};

}  // namespace gz::shell
