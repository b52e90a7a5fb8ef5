// `gzimport migrate SOURCE --to DB [--tables A,B,...] [--replace]
// [--codepage N] [--password TEXT | --password-file FILE]`: copies the
// tables of an Access file into an SQLite file or a PostgreSQL database.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <variant>

#include "cli/command.h"
#include "cli/options.h"
#include "cli/workbook_password.h"
#include "db/connection.h"
#include "db/open_database.h"
#include "migrate/access_error.h"
#include "migrate/access_file.h"
#include "migrate/migration.h"
#include "text/gb18030.h"

namespace gz::cli {
namespace {

constexpr int kDefaultCodePage = 936;

class ConsoleListener final : public migrate::MigrateListener {
 public:
  int tablesDone = 0;
  void tableDone(const migrate::TableReport& r) override {
    ++tablesDone;
    std::string line = "表 " + text::gb18030ToUtf8(r.name) + ": 读出" + std::to_string(r.rowsRead) + "行, 写入" +
                       std::to_string(r.rowsWritten) + "行";
    if (r.declaredRows != 0 && r.declaredRows != r.rowsRead)
      line += " (表定义记着" + std::to_string(r.declaredRows) + "行)";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, ", %.2f秒", r.seconds);
    printOut(line + seconds);
  }
};

// Checks the file's database password before any table is read: the
// payroll's own, then the one given or asked for. Returns the exit status on refusal.
std::optional<int> unlock(const migrate::AccessFile& file, const sheet::PasswordSource& ask) {
  const migrate::HeaderFacts& header = file.header();
  if (migrate::passwordOpens(header, db::accessDatabasePassword())) return std::nullopt;
  bool wrong = false;
  while (true) {
    const std::optional<std::string> given = ask ? ask(file.path(), wrong) : std::nullopt;
    if (!given) {
      if (wrong) return fail("Access 数据库 " + file.path() + " 的密码不正确; 什么也没有读取");
      return fail("Access 数据库 " + file.path() +
                  " 有数据库密码: 请用 --password 或 --password-file 给出; 什么也没有读取");
    }
    if (migrate::passwordOpens(header, text::utf8ToGb18030(*given))) return std::nullopt;
    wrong = true;
  }
}

// Opens the target; an SQLite file that is not there yet is made, and
// `created` says so.
std::unique_ptr<db::Connection> openTarget(const std::string& target, bool& created) {
  const bool server = target.rfind("postgresql://", 0) == 0 || target.rfind("postgres://", 0) == 0;
  created = !server && !QFileInfo::exists(QString::fromStdString(target));
  if (created) return db::createSqliteDatabase(target);
  return db::openDatabase(target);
}

std::vector<std::string> tableList(const QString& option) {
  std::vector<std::string> names;
  for (const QString& name : option.split(QLatin1Char(','), Qt::SkipEmptyParts))
    names.push_back(text::utf8ToGb18030(name.trimmed().toStdString()));
  return names;
}

void printSummary(const std::vector<migrate::TableReport>& reports, double seconds) {
  uint64_t rows = 0;
  for (const auto& r : reports) rows += r.rowsWritten;
  char summary[160];
  std::snprintf(summary, sizeof summary, "迁移完成: %zu个表, %llu行, %.2f秒 (每秒%.0f行)", reports.size(),
                static_cast<unsigned long long>(rows), seconds, seconds > 0 ? rows / seconds : 0.0);
  printOut(summary);
}

// Copies the tables once the request is checked. A target file this run
// made and into which no table was copied is not left behind.
int copyTables(const std::string& sourcePath, const std::string& targetName, const migrate::MigrateOptions& options,
               const sheet::PasswordSource& ask) {
  bool created = false;
  ConsoleListener listener;
  try {
    migrate::AccessFile file(sourcePath, options.codePage);
    migrate::checkReadable(file);
    if (const auto status = unlock(file, ask)) return *status;
    auto target = openTarget(targetName, created);
    const auto started = std::chrono::steady_clock::now();
    const std::vector<migrate::TableReport> reports = migrate::migrateTables(file, *target, options, listener);
    printSummary(reports, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  } catch (const std::exception& e) {
    if (created && listener.tablesDone == 0) QFile::remove(QString::fromStdString(targetName));
    return fail(e.what());
  }
  return kOk;
}

int runMigrate(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QCoreApplication::translate(
      "gzimport",
      "Copies the tables of an Access database (.mdb or .accdb) into an SQLite file or a PostgreSQL "
      "database, with every value as the file holds it."));
  parser.addPositionalArgument("SOURCE", QCoreApplication::translate("gzimport", "The Access database to read."));
  const QCommandLineOption to("to",
                              QCoreApplication::translate("gzimport",
                                                          "The database to write: an SQLite file (made "
                                                          "when missing) or postgresql://..."),
                              "DB");
  const QCommandLineOption tables(
      "tables", QCoreApplication::translate("gzimport", "Only these tables, separated by commas."), "A,B");
  const QCommandLineOption replace(
      "replace", QCoreApplication::translate("gzimport", "Replace tables of the same name in the target database."));
  const QCommandLineOption codepage(
      "codepage", QCoreApplication::translate("gzimport", "The code page of the texts of an Access 97 file (936)."),
      "N", QString::number(kDefaultCodePage));
  const QCommandLineOption password(
      "password", QCoreApplication::translate("gzimport", "The database password of the Access file."), "TEXT");
  const QCommandLineOption passwordFile(
      "password-file",
      QCoreApplication::translate("gzimport", "Read the database password from the first line of FILE."), "FILE");
  parser.addOptions({to, tables, replace, codepage, password, passwordFile});
  if (const auto status = parseArguments(parser, args, 1)) return *status;
  if (!parser.isSet(to))
    return usageError(QCoreApplication::translate("gzimport", "--to DB is required").toStdString(),
                      parser.helpText().toStdString());
  bool codePageOk = false;
  const int codePage = parser.value(codepage).toInt(&codePageOk);
  std::string probe;
  if (!codePageOk || codePage <= 0 || !text::codePageToGb18030(codePage, "", probe))
    return usageError(QCoreApplication::translate(
                          "gzimport", "--codepage takes a code page this tool reads: 936, 1252, 1251, 10000 or 20127")
                          .toStdString(),
                      parser.helpText().toStdString());
  auto source = passwordSource(parser, password, passwordFile, [](const std::string& file) {
    return "Access 数据库 " + file + " 有数据库密码。请输入密码: ";
  });
  if (const int* status = std::get_if<int>(&source)) return *status;

  return copyTables(parser.positionalArguments().front().toStdString(), parser.value(to).toStdString(),
                    {tableList(parser.value(tables)), parser.isSet(replace), codePage},
                    std::get<sheet::PasswordSource>(source));
}

const CommandRegistration registration(
    {"migrate", QT_TRANSLATE_NOOP("gzimport", "Copy an Access database into SQLite or PostgreSQL"), runMigrate});

}  // namespace
}  // namespace gz::cli
