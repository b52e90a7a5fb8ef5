#include "cli/import_command.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <utility>

#include "cli/command.h"
#include "cli/help_text.h"
#include "cli/options.h"
#include "cli/workbook_password.h"
#include "db/connection.h"
#include "import/shared/step_context.h"
#include "text/gb18030.h"

namespace gz::cli {
namespace {

QString importDescription() {
  return QCoreApplication::translate(
      "gzimport",
      "Imports the active sheet of WORKBOOK into the department CODE: one person per row,\n"
      "with education, position and assessment history.\n"
      "\n"
      "Exit status:\n"
      "  0    every row was stored\n"
      "  3    the run went through the sheet, but some rows were not stored\n"
      "  1    the run failed or was refused (database, workbook, code file)\n"
      "  2    the command line is wrong\n"
      "  130  stopped by Ctrl-C after a whole row; the rows before it are stored");
}

// The options that say where the rows go and how the run goes.
void addRunOptions(QCommandLineParser& parser) {
  parser.addOption(databaseOption());
  parser.addOption(
      {"dept", QCoreApplication::translate("gzimport", "The department, by its institution code (jgdm)."), "CODE"});
  parser.addOption({"overwrite", QCoreApplication::translate(
                                     "gzimport", "Replace the department's people instead of adding to them.")});
  parser.addOption({"codes",
                    QCoreApplication::translate("gzimport", "The code file (default dm.txt in the working directory)."),
                    "FILE", "dm.txt"});
  parser.addOption(
      {"dry-run", QCoreApplication::translate("gzimport", "Run the whole import and leave nothing in the database.")});
  parser.addOption(
      {"no-journal", QCoreApplication::translate("gzimport",
                                                 "Import even when the journal cannot be written; the import then "
                                                 "cannot be taken back.")});
  parser.addOption({"start-row",
                    QCoreApplication::translate("gzimport",
                                                "Continue an import that ended early from sheet row N (its last line "
                                                "names the row); the rows go to the department as with append."),
                    "N"});
}

// The options about rows already there and rows not stored, the workbook's
// password, the wait, and the workbook itself.
void addRowOptions(QCommandLineParser& parser) {
  parser.addOption(
      {"skip-existing", QCoreApplication::translate("gzimport",
                                                    "Append: leave out the rows whose id card number a person of the "
                                                    "department already has, and import the others.")});
  parser.addOption({"allow-duplicates",
                    QCoreApplication::translate("gzimport",
                                                "Append: import every row, even when the department already has a "
                                                "person with its id card number. Without either option such rows "
                                                "refuse the whole import.")});
  parser.addOption({"update-existing",
                    QCoreApplication::translate("gzimport",
                                                "Update the department's people by id card number: a row whose "
                                                "number one person of the department has updates that person (who "
                                                "keeps its id and the rows the workbook does not carry); the other "
                                                "rows are added.")});
  parser.addOption({"rejects",
                    QCoreApplication::translate("gzimport",
                                                "Write the rows that were not stored into the new workbook FILE.xlsx: "
                                                "the title row, each such row as read and the reason. Put right, "
                                                "it imports as it is."),
                    "FILE.xlsx"});
  parser.addOption(
      {"report",
       QCoreApplication::translate(
           "gzimport",
           "Write the check report into the new workbook FILE.xlsx: the title row and every data row as read, with "
           "two more columns, 结果 (what the import does with the row) and 问题 (each reason and warning of the row, "
           "one per line). Goes with --dry-run too; with the two columns deleted the workbook imports again."),
       "FILE.xlsx"});
  parser.addOption(
      {"find-titles", QCoreApplication::translate("gzimport",
                                                  "When row 1 lacks a required title, import by the header found in "
                                                  "the first 20 rows (titles written with blanks, line breaks or under "
                                                  "other names, also over two rows). Without it such a sheet is "
                                                  "refused, saying where the titles are.")});
  parser.addOption({"title",
                    QCoreApplication::translate(
                        "gzimport",
                        "Read the title TITLE that the import reads (such as 出生年月) from the sheet's column titled "
                        "SHEET_TITLE (such as 生日), for this run; once for each title to map. The header is then "
                        "taken without --find-titles."),
                    "TITLE=SHEET_TITLE"});
  parser.addOption(sheetOption());
  parser.addOption(passwordOption());
  parser.addOption(passwordFileOption());
  parser.addOption({"wait",
                    QCoreApplication::translate("gzimport",
                                                "How long to wait for a database that another program holds, or for "
                                                "another import into an overlapping department, before the import "
                                                "ends with nothing more written (default 60 seconds)."),
                    "SECONDS", QString::number(db::BusyWait::kDefaultLimit.count())});
  parser.addPositionalArgument(
      "WORKBOOK", QCoreApplication::translate(
                      "gzimport",
                      "The workbook: .xls, .xlsx, .xlsm, .et, .ett, .ods, .fods, XML Spreadsheet, a web page "
                      "or CSV/tab-separated text (the form is read from the file, not its name)."));
}

std::optional<int32_t> startRowOf(const QCommandLineParser& parser) {
  if (!parser.isSet("start-row")) return imp::kFirstDataRow;
  bool number = false;
  const int32_t row = parser.value("start-row").toInt(&number);
  if (!number || row < imp::kFirstDataRow) return std::nullopt;
  return row;
}

std::optional<int> waitSecondsOf(const QCommandLineParser& parser) {
  bool number = false;
  const int seconds = parser.value("wait").toInt(&number);
  if (!number || seconds < 0) return std::nullopt;
  return seconds;
}

// The --title values split at their first "=", in GB 18030; nullopt when one
// lacks either side.
std::optional<std::vector<imp::TitleChoice>> titleChoicesOf(const QCommandLineParser& parser) {
  std::vector<imp::TitleChoice> choices;
  for (const QString& value : parser.values("title")) {
    const qsizetype eq = value.indexOf(QLatin1Char('='));
    if (eq < 0) return std::nullopt;
    imp::TitleChoice choice{text::qStringToGb18030(value.left(eq).trimmed()),
                            text::qStringToGb18030(value.mid(eq + 1).trimmed())};
    if (choice.field.empty() || choice.sheetTitle.empty()) return std::nullopt;
    choices.push_back(std::move(choice));
  }
  return choices;
}

// The usage error for a --title whose TITLE the import does not read, naming those it does.
std::optional<QString> unknownTitleChosen(const QCommandLineParser& parser) {
  const std::optional<std::vector<imp::TitleChoice>> choices = titleChoicesOf(parser);
  for (const imp::TitleChoice& choice : *choices) {
    if (!imp::fieldNamed(choice.field).empty()) continue;
    QStringList fields;
    for (std::string_view field : imp::mappedFields()) fields << text::gb18030ToQString(field);
    return QCoreApplication::translate("gzimport", "--title: the import reads no title %1; it reads %2")
        .arg(text::gb18030ToQString(choice.field), fields.join(QStringLiteral(", ")));
  }
  return std::nullopt;
}

bool rejectsOverWorkbook(const QCommandLineParser& parser) {
  const QStringList given = parser.positionalArguments();
  return parser.isSet("rejects") && !given.isEmpty() &&
         QFileInfo(parser.value("rejects")).absoluteFilePath() == QFileInfo(given.front()).absoluteFilePath();
}

bool reportOverOtherFile(const QCommandLineParser& parser) {
  if (!parser.isSet("report")) return false;
  const QString report = QFileInfo(parser.value("report")).absoluteFilePath();
  const QStringList given = parser.positionalArguments();
  return (!given.isEmpty() && report == QFileInfo(given.front()).absoluteFilePath()) ||
         (parser.isSet("rejects") && report == QFileInfo(parser.value("rejects")).absoluteFilePath());
}

// A rule the options must keep, and the usage error when they break it.
struct UsageRule {
  bool (*broken)(const QCommandLineParser&);
  const char* message;  // marked for translation in the "gzimport" context
};

// Checked in this order; the first broken rule is reported.
constexpr UsageRule kUsageRules[] = {
    {[](const QCommandLineParser& p) { return !p.isSet("dept"); },
     QT_TRANSLATE_NOOP("gzimport", "--dept CODE is required")},
    {[](const QCommandLineParser& p) { return !startRowOf(p); },
     QT_TRANSLATE_NOOP("gzimport", "--start-row N needs a sheet row number from 2 on")},
    // Overwriting again would delete the rows the earlier run stored.
    {[](const QCommandLineParser& p) { return p.isSet("start-row") && p.isSet("overwrite"); },
     QT_TRANSLATE_NOOP("gzimport", "--start-row continues by adding rows; it cannot go with --overwrite")},
    {[](const QCommandLineParser& p) { return p.isSet("skip-existing") && p.isSet("allow-duplicates"); },
     QT_TRANSLATE_NOOP("gzimport", "--skip-existing and --allow-duplicates exclude each other")},
    {[](const QCommandLineParser& p) {
       return p.isSet("update-existing") &&
              (p.isSet("overwrite") || p.isSet("skip-existing") || p.isSet("allow-duplicates"));
     },
     QT_TRANSLATE_NOOP("gzimport",
                       "--update-existing cannot go with --overwrite, --skip-existing or --allow-duplicates")},
    {[](const QCommandLineParser& p) {
       return p.isSet("rejects") && !p.value("rejects").endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
     },
     QT_TRANSLATE_NOOP("gzimport", "--rejects needs a file name ending in .xlsx")},
    // Writing the rejects over the workbook would lose the rows that were stored.
    {rejectsOverWorkbook, QT_TRANSLATE_NOOP("gzimport", "--rejects must name another file than the workbook")},
    {[](const QCommandLineParser& p) {
       return p.isSet("report") && !p.value("report").endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
     },
     QT_TRANSLATE_NOOP("gzimport", "--report needs a file name ending in .xlsx")},
    {reportOverOtherFile,
     QT_TRANSLATE_NOOP("gzimport", "--report must name another file than the workbook and the --rejects file")},
    {[](const QCommandLineParser& p) { return !waitSecondsOf(p); },
     QT_TRANSLATE_NOOP("gzimport", "--wait takes a whole number of seconds, 0 or more")},
    {[](const QCommandLineParser& p) { return !titleChoicesOf(p); },
     QT_TRANSLATE_NOOP("gzimport", "--title takes TITLE=SHEET_TITLE, such as --title 出生年月=生日")},
};

// The command the checked options ask for.
ImportCommand commandOf(const QCommandLineParser& parser, sheet::PasswordSource passwords) {
  ImportCommand c;
  c.database = parser.value(databaseOption().names().front());
  c.departmentCode = parser.value("dept");
  c.codeFile = parser.value("codes");
  c.workbook = parser.positionalArguments().front();
  if (parser.isSet("rejects")) c.rejects = parser.value("rejects");
  if (parser.isSet("report")) c.report = parser.value("report");
  c.overwrite = parser.isSet("overwrite");
  c.dryRun = parser.isSet("dry-run");
  c.noJournal = parser.isSet("no-journal");
  c.skipExisting = parser.isSet("skip-existing");
  c.allowDuplicates = parser.isSet("allow-duplicates");
  c.updateExisting = parser.isSet("update-existing");
  c.findTitles = parser.isSet("find-titles");
  c.titles = *titleChoicesOf(parser);
  c.startRow = *startRowOf(parser);
  c.sheet = sheetRequestOf(parser);
  c.waitSeconds = *waitSecondsOf(parser);
  c.passwords = std::move(passwords);
  return c;
}

}  // namespace

std::variant<ImportCommand, int> parseImportCommand(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(importDescription());
  addRunOptions(parser);
  addRowOptions(parser);
  if (const auto status = parseArguments(parser, args, 1)) return *status;
  for (const UsageRule& rule : kUsageRules)
    if (rule.broken(parser))
      return usageError(QCoreApplication::translate("gzimport", rule.message).toStdString(), helpTextOf(parser));
  if (const std::optional<QString> unknown = unknownTitleChosen(parser))
    return usageError(unknown->toStdString(), helpTextOf(parser));
  auto passwords = workbookPasswordSource(parser);
  if (const int* status = std::get_if<int>(&passwords)) return *status;
  return commandOf(parser, std::get<sheet::PasswordSource>(std::move(passwords)));
}

}  // namespace gz::cli
