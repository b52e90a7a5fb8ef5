#include "cli/options.h"

#include <QCoreApplication>
#include <string>

#include "cli/command.h"
#include "cli/help_text.h"
#include "text/bytes.h"
#include "text/gb18030.h"

namespace gz::cli {

QCommandLineOption databaseOption() {
  return {"db",
          QCoreApplication::translate("gzimport",
                                      "The database: an SQLite file, postgresql://user@host:port/name or "
                                      "odbc:<connection string> (default: gzgl.mdb in the working directory)."),
          "DB", "gzgl.mdb"};
}

QCommandLineOption passwordOption() {
  return {"password", QCoreApplication::translate("gzimport", "The password to open an encrypted workbook."), "TEXT"};
}

QCommandLineOption sheetOption() {
  return {"sheet",
          QCoreApplication::translate("gzimport",
                                      "Read the worksheet named NAME, or the NUMBERth worksheet (from 1, chart "
                                      "sheets not counted), instead of the active one."),
          "NAME|NUMBER"};
}

sheet::SheetRequest sheetRequestOf(const QCommandLineParser& parser) {
  sheet::SheetRequest request;
  if (!parser.isSet("sheet")) return request;
  const QString given = parser.value("sheet");
  bool number = false;
  const uint n = given.toUInt(&number);
  if (number && n > 0) {
    request.number = n;
  } else {
    request.name = text::utf8ToGb18030(given.toStdString());
  }
  return request;
}

QCommandLineOption passwordFileOption() {
  return {"password-file",
          QCoreApplication::translate("gzimport",
                                      "Read the password to open an encrypted workbook from the first line of FILE."),
          "FILE"};
}

std::optional<int> parseArguments(QCommandLineParser& parser, const QStringList& args, int positionals) {
  parser.addHelpOption();
  const std::string help = helpTextOf(parser);
  if (!parser.parse(args)) return usageError(parser.errorText().toStdString(), help);
  if (parser.isSet("help")) {
    printOut(help);
    return kOk;
  }
  const QStringList given = parser.positionalArguments();
  if (given.size() > positionals)
    return usageError(
        QCoreApplication::translate("gzimport", "unexpected argument '%1'").arg(given[positionals]).toStdString(),
        help);
  if (given.size() < positionals)
    return usageError(QCoreApplication::translate("gzimport", "missing argument").toStdString(), help);
  return std::nullopt;
}

std::optional<tree::JGData> findDepartmentByCode(db::Connection& connection, const QString& code) {
  text::ConversionReport report;
  const std::string gbk = text::trim(text::qStringToGb18030(code, &report));
  if (!report.ok()) return std::nullopt;
  tree::InstitutionList list;
  list.load(connection);
  if (const tree::JGData* d = tree::findDepartment(list.records(), gbk)) return *d;
  return std::nullopt;
}

}  // namespace gz::cli
