// Encrypted workbooks in the window: the password is asked for with the
// file's name, asked again after a wrong one, and 取消 ends the run as for an
// unreadable workbook with the database untouched.
#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "tests.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

const QString kEncryptedName = QStringLiteral("加密工资表.xls");
const QString kPassword = QStringLiteral("工资");

const QStringList kStaff = {QStringLiteral("张伟"), QStringLiteral("王芳"), QStringLiteral("李娜"),
                            QStringLiteral("刘洋"), QStringLiteral("陈静"), QStringLiteral("杨军")};

// The window ready to import the encrypted copy of the staff workbook into 0102,
// which already holds one person.
void openWithEncryptedWorkbook(WindowHarness& h) {
  h.makeDatabase();
  h.copyWorkbook(h.dir());
  QVERIFY(QFile::copy(QStringLiteral(GZ_SOURCE_DIR "/shell/tests/data/staff_password.xls"), h.path(kEncryptedName)));
  h.addPerson("0102");
  h.open();
  h.clickNode("0102");
  h.selectWorkbook(kEncryptedName);
}

// Every text the operator can see after a run.
QString allTexts(WindowHarness& h) {
  return h.boxes().texts().join('\n') + h.pane("Memo1")->toPlainText() + h.pane("Memo2")->toPlainText() + h.panel(0) +
         h.panel(1);
}

class PasswordTests : public QObject {
  Q_OBJECT
 private slots:
  void askedAgainAfterAWrongPasswordThenImports() {
    WindowHarness h;
    openWithEncryptedWorkbook(h);
    QStringList answers = {QStringLiteral("xyzzy"), kPassword};
    h.boxes().answerPassword = [&](const PasswordQuestion&) { return std::optional<QString>(answers.takeFirst()); };
    h.clickImport();

    const auto& asked = h.boxes().passwordQuestions();
    QCOMPARE(asked.size(), std::size_t{2});
    QCOMPARE(asked[0].path, h.path(kEncryptedName));
    QVERIFY(!asked[0].lastWasWrong);
    QVERIFY(asked[1].lastWasWrong);
    QCOMPARE(h.boxes().texts(), QStringList{QStringLiteral("数据导入成功!提示10条")});
    QCOMPARE(h.gridColumn("xm"), QStringList{QStringLiteral("x")} + kStaff);
    QVERIFY(!allTexts(h).contains(QStringLiteral("xyzzy")));
  }

  void cancelEndsTheRunAndLeavesTheDatabaseAlone() {
    struct Case {
      const char* name;
      QStringList answers;  // then 取消
      QString reason;
    } cases[] = {
        {"cancelled at once", {}, QStringLiteral("工作簿有打开密码")},
        {"cancelled after a wrong password", {QStringLiteral("xyzzy")}, QStringLiteral("密码不正确")},
    };
    for (Case& c : cases) {
      WindowHarness h;
      openWithEncryptedWorkbook(h);
      h.child<QRadioButton>("RadioButton5")->click();  // overwrite: nothing may be deleted either
      h.boxes().answerPassword = [&](const PasswordQuestion&) -> std::optional<QString> {
        if (c.answers.isEmpty()) return std::nullopt;
        return c.answers.takeFirst();
      };
      h.clickImport();
      QVERIFY2(h.boxes().shown().size() == 1, c.name);
      QCOMPARE(h.boxes().shown()[0].text,
               QStringLiteral("不能读取工作簿 ") + h.path(kEncryptedName) + QStringLiteral(": ") + c.reason);
      QCOMPARE(h.boxes().shown()[0].caption, QStringLiteral("失败"));
      QCOMPARE(h.gridColumn("xm"), QStringList{QStringLiteral("x")});
      QCOMPARE(h.buttonStates(), (ButtonStates{true, false, true}));
      QVERIFY(!allTexts(h).contains(QStringLiteral("xyzzy")));
    }
  }

  void theRealDialogNamesTheFileAndHidesTheTyping() {
    QtMessageBoxes boxes;
    QString label;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      label = dialog->labelText();
      echo = dialog->textEchoMode();
      dialog->setTextValue(kPassword);
      dialog->accept();
    });
    const std::optional<QString> answer = boxes.askPassword(nullptr, QStringLiteral("/tmp/x/工资表.xls"), true);
    QCOMPARE(answer, std::optional<QString>(kPassword));
    QCOMPARE(label, QStringLiteral("密码不正确。\n请重新输入工作簿“工资表.xls”的打开密码:"));
    QCOMPARE(echo, QLineEdit::Password);

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    QCOMPARE(boxes.askPassword(nullptr, QStringLiteral("工资表.xls"), false), std::nullopt);
  }
};

}  // namespace

QObject* makePasswordTests() { return new PasswordTests; }

}  // namespace gz::shell::testing

#include "password_tests.moc"
