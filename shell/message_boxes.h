// Message boxes with one OK button. The window shows every box through this
// interface, so tests can see each box and answer it at the moment it opens.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QWidget;

namespace gz::shell {

enum class BoxIcon { None, Error };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and returns when the operator has dismissed it.
  virtual void show(QWidget* parent, const QString& text, const QString& caption,
                    BoxIcon icon) = 0;
};

// The real, modal QMessageBox.
class QtMessageBoxes final : public MessageBoxes {
 public:
  void show(QWidget* parent, const QString& text, const QString& caption, BoxIcon icon) override;
};

struct ShownBox {
  QString text;
  QString caption;
  BoxIcon icon = BoxIcon::None;
};

// Records each box instead of showing it. `onShow` runs while the box is
// "open", before show() returns: what a test does there happens before the
// operator's OK, exactly as with a modal box.
class RecordingMessageBoxes final : public MessageBoxes {
 public:
  void show(QWidget* parent, const QString& text, const QString& caption, BoxIcon icon) override;

  const std::vector<ShownBox>& shown() const { return shown_; }
  QStringList texts() const;
  void clear() { shown_.clear(); }

  std::function<void(const ShownBox&)> onShow;

 private:
  std::vector<ShownBox> shown_;
};

}  // namespace gz::shell
