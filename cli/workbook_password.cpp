#include "cli/workbook_password.h"

#include <QCoreApplication>
#include <QFile>

#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/help_text.h"
#include "cli/line_output.h"
#include "cli/options.h"
#include "cli/terminal.h"
#include "text/gb18030.h"

namespace gz::cli {
namespace {

// The operator gets this many tries at the prompt.
constexpr int kPromptTries = 3;

// A given password is tried once: a second question means it was wrong.
sheet::PasswordSource fixedPassword(std::string utf8) {
  return [utf8 = std::move(utf8)](const std::string&, bool lastWasWrong) -> std::optional<std::string> {
    if (lastWasWrong) return std::nullopt;
    return utf8;
  };
}

sheet::PasswordSource terminalPrompt(PasswordQuestion first) {
  auto tries = std::make_shared<int>(0);
  return [tries, first = std::move(first)](const std::string& file, bool lastWasWrong) -> std::optional<std::string> {
    if (*tries == kPromptTries) return std::nullopt;
    ++*tries;
    const std::string question = lastWasWrong ? "密码不正确。请重新输入密码: " : first(file);
    flushLines();  // what the run said so far comes before the question
    return readPasswordFromTerminal(question);
  };
}

// The first line of the file, without its line break. A file that is not
// UTF-8 is taken as Chinese text in the GB code page.
std::optional<std::string> firstLine(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray line = file.readLine(64 * 1024);
  while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
  const std::string bytes = line.toStdString();
  if (QString::fromUtf8(line).toUtf8() == line) return bytes;
  return text::gb18030ToUtf8(bytes);
}

}  // namespace

std::variant<sheet::PasswordSource, int> workbookPasswordSource(const QCommandLineParser& parser) {
  return passwordSource(parser, passwordOption(), passwordFileOption(),
                        [](const std::string& file) { return "工作簿 " + file + " 有打开密码。请输入密码: "; });
}

std::variant<sheet::PasswordSource, int> passwordSource(const QCommandLineParser& parser,
                                                        const QCommandLineOption& passwordOption,
                                                        const QCommandLineOption& passwordFileOption,
                                                        PasswordQuestion question) {
  const bool given = parser.isSet(passwordOption.names().front());
  const bool fromFile = parser.isSet(passwordFileOption.names().front());
  if (given && fromFile)
    return usageError(QCoreApplication::translate("gzimport", "--password and --password-file cannot be given together")
                          .toStdString(),
                      helpTextOf(parser));
  if (given) return fixedPassword(parser.value(passwordOption.names().front()).toStdString());
  if (fromFile) {
    const QString path = parser.value(passwordFileOption.names().front());
    std::optional<std::string> password = firstLine(path);
    if (!password) return fail("无法读取密码文件: " + path.toStdString());
    return fixedPassword(std::move(*password));
  }
  if (stdinIsTerminal()) return terminalPrompt(std::move(question));
  return sheet::PasswordSource{};
}

}  // namespace gz::cli
