// `gzimport init-db [--demo] DB`: creates the tables in a new SQLite file or
// in an empty PostgreSQL database, optionally with demo data.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <exception>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/options.h"
#include "db/open_database.h"
#include "db/payroll/demo_data.h"
#include "db/payroll/schema.h"

namespace gz::cli {
namespace {

// A server database (PostgreSQL directly or through ODBC) rather than a file.
bool isServerAddress(const std::string& target) {
  return target.rfind("postgresql://", 0) == 0 || target.rfind("postgres://", 0) == 0 || target.rfind("odbc:", 0) == 0;
}

// A server database is only filled when none of the tables is there yet.
void requireNoTables(db::Connection& c) {
  const auto missing = db::missingSchemaItems(c);
  if (missing.size() != db::requiredSchema().size())
    throw db::DbError(db::DbFault::Exists, c.describe() + " 中已有人员库的表, 不会改动");
}

void fill(db::Connection& c, bool demo) {
  db::createSchema(c);
  if (demo) db::addDemoData(c);
}

int runInitDb(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QCoreApplication::translate(
      "gzimport", "Creates the personnel tables in a new SQLite file or in an empty PostgreSQL database."));
  parser.addOption({"demo", QCoreApplication::translate(
                                "gzimport", "Add a demo institution tree and a few people with history rows.")});
  parser.addPositionalArgument(
      "DB", QCoreApplication::translate(
                "gzimport", "A new SQLite file, postgresql://user@host:port/name or odbc:<connection string>."));
  if (const auto status = parseArguments(parser, args, 1)) return *status;
  const std::string target = parser.positionalArguments().first().toStdString();
  const bool demo = parser.isSet("demo");

  try {
    if (isServerAddress(target)) {
      auto c = db::openDatabase(target);
      requireNoTables(*c);
      fill(*c, demo);
    } else {
      auto c = db::createSqliteDatabase(target);
      try {
        fill(*c, demo);
      } catch (...) {
        c.reset();
        QFile::remove(QString::fromStdString(target));  // leave no half-made database behind
        throw;
      }
    }
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  printOut("已创建数据库: " + target + (demo ? " (含演示数据)" : ""));
  return kOk;
}

const CommandRegistration registration(
    {"init-db", QT_TRANSLATE_NOOP("gzimport", "Create the database tables (--demo: with demo data)"), runInitDb});

}  // namespace
}  // namespace gz::cli
