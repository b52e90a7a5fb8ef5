// `gzimport tree [--db DB]`: prints the institution tree, one node a line,
// indented two blanks per level.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <exception>
#include <string>

#include "cli/command.h"
#include "cli/open_work_database.h"
#include "cli/options.h"
#include "db/connection.h"
#include "text/gb18030.h"
#include "tree/institutions.h"
#include "tree/tree_builder.h"

namespace gz::cli {
namespace {

int runTree(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QCoreApplication::translate("gzimport", "Prints the institution tree of the database."));
  const QCommandLineOption dbOption = databaseOption();
  parser.addOption(dbOption);
  if (const auto status = parseArguments(parser, args, 0)) return *status;

  try {
    auto connection = openWorkDatabase(parser.value(dbOption), db::SchemaUse::Tree);
    tree::InstitutionList list;
    list.load(*connection);
    const tree::InstitutionTree institutions = tree::buildInstitutionTree(list.shared());
    institutions.forEachInDisplayOrder([&](std::size_t node, int depth) {
      printOut(std::string(2 * static_cast<std::size_t>(depth), ' ') +
               text::gb18030ToUtf8(tree::nodeText(institutions.record(node))));
    });
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  return kOk;
}

const CommandRegistration registration({"tree", QT_TRANSLATE_NOOP("gzimport", "Print the institution tree"), runTree});

}  // namespace
}  // namespace gz::cli
