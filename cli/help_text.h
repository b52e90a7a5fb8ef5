// A command's help as the terminal shows it. Qt wraps the text of each
// option and argument by counting characters, but a Chinese character takes
// two columns: a Chinese text runs far past the terminal's edge and breaks
// at its first blank. The texts that hold wide characters are laid out again
// here by the columns they take; English help stays as Qt makes it.
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <string>

namespace gz::cli {

// `qtHelp` (QCommandLineParser::helpText()) with every option and argument
// text that holds a wide character wrapped to 79 columns, between words or
// between two characters of which one is wide, never before a closing or
// after an opening punctuation mark.
QString wrapWideTexts(const QString& qtHelp);

// The help of the command `parser` describes, laid out so (UTF-8).
std::string helpTextOf(const QCommandLineParser& parser);

}  // namespace gz::cli
