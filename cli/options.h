// Option handling shared by the subcommands.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

#include "db/connection.h"
#include "sheet/model/workbook.h"
#include "tree/institutions.h"

namespace gz::cli {

// --db DB, defaulting to "gzgl.mdb" in the working directory.
QCommandLineOption databaseOption();

// --password TEXT and --password-file FILE, for the commands that open a
// workbook (answered in cli/workbook_password.h).
QCommandLineOption passwordOption();
QCommandLineOption passwordFileOption();

// --sheet NAME|NUMBER, for the commands that read a sheet of a workbook,
// and the sheet it asks for: a whole number from 1 counts the worksheets,
// anything else is a sheet's name (UTF-8 here, GB 18030 in the request).
QCommandLineOption sheetOption();
sheet::SheetRequest sheetRequestOf(const QCommandLineParser& parser);

// Parses `args`: with --help it prints the help, and for an unknown option or
// a positional-argument count other than `positionals` it prints a usage
// error. Returns the exit status then, nullopt when the command goes on.
std::optional<int> parseArguments(QCommandLineParser& parser, const QStringList& args, int positionals);

// The institution whose trimmed code is `code` (UTF-8 from the command line), if any.
std::optional<tree::JGData> findDepartmentByCode(db::Connection& connection, const QString& code);

}  // namespace gz::cli
