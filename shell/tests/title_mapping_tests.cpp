// Mapping titles in the window: a roster whose titles the tool does not
// know opens the mapping dialog; the choice is imported by, 保存 keeps it in
// titles.txt, and the next roster of that form needs no dialog.
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "shell/title_mapping_dialog.h"
#include "tests.h"
#include "text/gb18030.h"
#include "window_harness.h"

namespace gz::shell::testing {
namespace {

std::string_view field(const char* utf8) { return imp::fieldNamed(text::qStringToGb18030(QString::fromUtf8(utf8))); }

int32_t columnTitled(const imp::TitleOffer& offer, const char* utf8) {
  const std::string wanted = text::qStringToGb18030(QString::fromUtf8(utf8));
  for (const imp::SheetTitle& t : offer.titles)
    if (imp::foldTitle(t.text) == imp::foldTitle(wanted)) return t.column;
  return 0;
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class TitleMappingTests : public QObject {
  Q_OBJECT
 private slots:
  void aRosterOfOwnTitlesImportsAfterOneMappingAndTheNextWithout() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir());
    QVERIFY(QFile::copy(QStringLiteral(GZ_TEST_DATA "/import/roster_own_names.xls"), h.path("own.xls")));
    h.open();
    h.clickNode("0102");
    h.selectWorkbook("own.xls");
    QString saved;
    h.boxes().answerTitleMapping = [&saved](const imp::TitleOffer& offer, const TitleSaver& save) {
      imp::TitleMapping m = offer.preset;
      m.columns[field("出生年月")] = columnTitled(offer, "生日");
      m.columns[field("参加工作时间")] = columnTitled(offer, "入职时间");
      m.columns[field("个人身份")] = columnTitled(offer, "职工身份");
      saved = save(m);
      return std::optional(m);
    };
    h.clickImport();
    QCOMPARE(h.boxes().titleOffers.size(), std::size_t{1});
    const imp::TitleOffer& offer = h.boxes().titleOffers[0];
    QCOMPARE(offer.titles.size(), std::size_t{14});
    QCOMPARE(offer.preset.column(field("姓名")), 2);
    QCOMPARE(offer.preset.column(field("出生年月")), 0);
    QVERIFY(h.boxes().foundTitlesQuestions.isEmpty());
    QCOMPARE(h.panel(0), QStringLiteral("6人"));
    const QString pane = h.pane("Memo1")->toPlainText();
    QVERIFY2(pane.contains(QStringLiteral("第1行第5列\"生日\"作为出生年月\n第1行第6列\"入职\\n时间\"作为参加工作时间\n"
                                          "第1行第7列\"职工身份\"作为个人身份\n数据行: 第2行至第7行")),
             qPrintable(pane));
    QCOMPARE(saved, QStringLiteral("已记入titles.txt: 出生年月=生日、参加工作时间=入职时间、个人身份=职工身份"));
    QCOMPARE(text::gb18030ToQString(fileBytes(h.path("titles.txt")).toStdString()),
             QStringLiteral("出生年月=生日\r\n参加工作时间=入职时间\r\n个人身份=职工身份\r\n"));

    // The next roster of that form: recognised by the names saved, asked as any header found.
    h.clickNode("0201");
    h.selectWorkbook("own.xls");
    h.boxes().takeFoundTitles = true;
    h.clickImport();
    QCOMPARE(h.boxes().titleOffers.size(), std::size_t{1});
    QCOMPARE(h.boxes().foundTitlesQuestions.size(), 1);
    QCOMPARE(h.panel(0), QStringLiteral("6人"));

    // A workbook of the usual shape is asked nothing.
    h.clickNode("0101");
    h.selectWorkbook("staff.xls");
    h.clickImport();
    QCOMPARE(h.boxes().titleOffers.size(), std::size_t{1});
    QCOMPARE(h.boxes().foundTitlesQuestions.size(), 1);
    QCOMPARE(h.panel(0), QStringLiteral("6人"));
  }

  // Titles the tool only guesses (出生日期 for 出生年月) are shown for the
  // operator to check, instead of the question about a header found.
  void titlesUnderBuiltInNamesArePresetInTheDialog() {
    WindowHarness h;
    h.makeDatabase();
    h.copyWorkbook(h.dir());
    QVERIFY(QFile::copy(QStringLiteral(GZ_TEST_DATA "/import/roster_other_names.xlsx"), h.path("other.xlsx")));
    h.open();
    h.clickNode("0102");
    h.selectWorkbook("other.xlsx");
    h.boxes().answerTitleMapping = [](const imp::TitleOffer& offer, const TitleSaver&) {
      return std::optional(offer.preset);
    };
    h.clickImport();
    QCOMPARE(h.boxes().titleOffers.size(), std::size_t{1});
    const imp::TitleOffer& offer = h.boxes().titleOffers[0];
    for (const char* f : {"姓名", "出生年月", "参加工作时间", "个人身份", "序号", "身份证号"})
      QVERIFY2(offer.preset.column(field(f)) != 0, f);
    QVERIFY(h.boxes().foundTitlesQuestions.isEmpty());
    QVERIFY(h.pane("Memo1")->toPlainText().contains(QStringLiteral("第1行第5列\"出生日期\"作为出生年月")));
    QCOMPARE(h.panel(0), QStringLiteral("6人"));
    QVERIFY(!QFile::exists(h.path("titles.txt")));  // nothing saved unless asked
  }

  void cancelledTheRosterIsRefusedNamingWhatItLacks() {
    WindowHarness h;
    h.makeDatabase();
    QVERIFY(QFile::copy(QStringLiteral(GZ_TEST_DATA "/import/roster_own_names.xlsx"), h.path("own.xlsx")));
    h.open();
    h.clickNode("0102");
    h.selectWorkbook("own.xlsx");
    h.clickImport();  // 取消
    QCOMPARE(h.boxes().titleOffers.size(), std::size_t{1});
    QCOMPARE(h.pane("Memo1")->toPlainText(),
             QStringLiteral("XLS数据格式不配置!不能导入\n第1行缺少所需的标题: 出生年月、参加工作时间、个人身份"));
    QVERIFY(!QFile::exists(h.path("titles.txt")));
    QCOMPARE(h.panel(0), QStringLiteral("0人"));
  }

  void theDialogImportsOnlyWithTheFourRequiredAndSavesOnRequest() {
    imp::TitleOffer offer;
    offer.sheetName = text::qStringToGb18030(QStringLiteral("人员"));
    const char* titles[] = {"序号", "姓名", "生日", "入职\n时间", "职工身份"};
    for (int32_t c = 1; c <= 5; ++c)
      offer.titles.push_back({c, 1, text::qStringToGb18030(QString::fromUtf8(titles[c - 1]))});
    offer.preset.columns[field("姓名")] = 2;
    offer.preset.columns[field("序号")] = 1;
    std::vector<imp::TitleMapping> saves;
    bool failSave = false;
    TitleMappingDialog dialog(offer, [&](const imp::TitleMapping& m) {
      if (failSave) throw std::runtime_error("无法写入标题文件 titles.txt");
      saves.push_back(m);
      return QStringLiteral("已记入");
    });
    QCOMPARE(dialog.chooser(field("姓名"))->currentData().toInt(), 2);
    QCOMPARE(dialog.chooser(field("序号"))->currentData().toInt(), 1);
    QCOMPARE(dialog.chooser(field("学历"))->currentData().toInt(), 0);
    QCOMPARE(dialog.chooser(field("个人身份"))->count(), 6);  // none, then the five titles
    QCOMPARE(dialog.chooser(field("参加工作时间"))->itemText(4), QStringLiteral("第4列: 入职 时间"));
    QVERIFY(!dialog.importButton()->isEnabled());
    QVERIFY(!dialog.saveButton()->isEnabled());
    QCOMPARE(dialog.note(), QStringLiteral("尚未选择: 出生年月、参加工作时间、个人身份"));

    struct Row {
      const char* field;
      int32_t column;
    };
    for (const Row& r : {Row{"出生年月", 3}, Row{"参加工作时间", 4}, Row{"个人身份", 5}, Row{"序号", 0}}) {
      QComboBox* chooser = dialog.chooser(field(r.field));
      chooser->setCurrentIndex(chooser->findData(r.column));
    }
    QVERIFY(dialog.importButton()->isEnabled());
    QVERIFY(dialog.note().isEmpty());
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QCOMPARE(saves.size(), std::size_t{1});
    QCOMPARE(saves[0].column(field("出生年月")), 3);
    QCOMPARE(saves[0].column(field("序号")), 0);
    QCOMPARE(dialog.note(), QStringLiteral("已记入"));
    failSave = true;
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QCOMPARE(dialog.note(), QStringLiteral("未能保存: 无法写入标题文件 titles.txt"));

    QTest::mouseClick(dialog.importButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const imp::TitleMapping chosen = dialog.mapping();
    QCOMPARE(chosen.column(field("个人身份")), 5);
    QCOMPARE(chosen.column(field("姓名")), 2);
    QVERIFY(chosen.missing().empty());
  }
};

}  // namespace

QObject* makeTitleMappingTests() { return new TitleMappingTests; }

}  // namespace gz::shell::testing

#include "title_mapping_tests.moc"
