// Qt's own texts in the window (standard buttons, the file dialog) are
// Chinese, like every text of the window, whatever the user's locale.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/translations.h"
#include "tests.h"

namespace gz::shell::testing {
namespace {

class LanguageTests : public QObject {
  Q_OBJECT
 private slots:
  void qtsOwnTextsAreChineseUnderAnotherLocale() {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    app::installTranslations();  // Qt's German catalogue, as a German system gets it
    app::installWindowQtTranslations();
    QLocale::setDefault(before);

    struct Row {
      QMessageBox::StandardButton button;
      const char* text;
    };
    const Row rows[] = {{QMessageBox::Ok, "确定"},
                        {QMessageBox::Cancel, "取消"},
                        {QMessageBox::Yes, "是(&Y)"},
                        {QMessageBox::No, "否(&N)"}};
    QMessageBox box;
    for (const Row& row : rows) {
      box.setStandardButtons(row.button);
      QCOMPARE(box.button(row.button)->text(), QString::fromUtf8(row.text));
    }
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(dialog.labelText(QFileDialog::Reject), QStringLiteral("取消"));
  }
};

}  // namespace

QObject* makeLanguageTests() { return new LanguageTests; }

}  // namespace gz::shell::testing

#include "language_tests.moc"
