#include "cli/options.h"

#include <string>

#include "cli/command.h"
#include "text/bytes.h"
#include "text/gbk.h"

namespace gz::cli {

QCommandLineOption databaseOption() {
  return {"db", "The database: an SQLite file, postgresql://user@host:port/name or odbc:<connection string> "
                "(default: gzgl.mdb in the working directory).",
          "DB", "gzgl.mdb"};
}

std::optional<int> parseArguments(QCommandLineParser& parser, const QStringList& args, int positionals) {
  parser.addHelpOption();
  const std::string help = parser.helpText().toStdString();
  if (!parser.parse(args)) return usageError(parser.errorText().toStdString(), help);
  if (parser.isSet("help")) {
    printOut(help);
    return kOk;
  }
  const QStringList given = parser.positionalArguments();
  if (given.size() > positionals) return usageError("unexpected argument '" + given[positionals].toStdString() + "'", help);
  if (given.size() < positionals) return usageError("missing argument", help);
  return std::nullopt;
}

std::optional<tree::JGData> findDepartmentByCode(db::Connection& connection, const QString& code) {
  text::ConversionReport report;
  const std::string gbk = text::trim(text::qStringToGbk(code, &report));
  if (!report.ok()) return std::nullopt;
  tree::InstitutionList list;
  list.load(connection);
  if (const tree::JGData* d = tree::findDepartment(list.records(), gbk)) return *d;
  return std::nullopt;
}

}  // namespace gz::cli
