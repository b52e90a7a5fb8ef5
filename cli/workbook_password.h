// How the command line answers the question for a workbook's password: the
// --password or --password-file option, else, on a terminal, a prompt that
// does not echo. The password is never printed.
#pragma once

#include <QCommandLineParser>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "sheet/open_workbook.h"

namespace gz::cli {

// The source for the parsed options, or the exit status when they cannot be
// used (both given; a password file that cannot be read, already reported).
// Without either option and without a terminal the source is empty: an
// encrypted workbook then fails as one that has a password.
std::variant<sheet::PasswordSource, int> workbookPasswordSource(const QCommandLineParser& parser);

// The same for another file with a password, read from the options
// `password` and `passwordFile`; `question` is the prompt's first question
// for the file named.
using PasswordQuestion = std::function<std::string(const std::string& file)>;
std::variant<sheet::PasswordSource, int> passwordSource(const QCommandLineParser& parser,
                                                        const QCommandLineOption& password,
                                                        const QCommandLineOption& passwordFile,
                                                        PasswordQuestion question);

}  // namespace gz::cli
