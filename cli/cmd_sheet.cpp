// gzimport sheet: shows what the tool reads from a workbook's active sheet
// (or the one --sheet names).

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <variant>

#include "cli/command.h"
#include "cli/help_text.h"
#include "cli/options.h"
#include "cli/titles_file.h"
#include "cli/workbook_password.h"
#include "codes/dm_file.h"
#include "import/run/run_stages.h"
#include "import/run/stage_sheet.h"
#include "import/shared/column_map.h"
#include "import/shared/run_texts.h"
#include "import/shared/texts.h"
#include "sheet/model/cell_forms.h"
#include "sheet/model/sheet_data.h"
#include "sheet/model/workbook_error.h"
#include "sheet/open_workbook.h"
#include "text/gb18030.h"

namespace gz::cli {
namespace {

// Tabs and line breaks inside a cell would break the layout of the listing.
std::string escapedCell(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '\r') {
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      out += "\\n";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

// Where the import finds the titles and the data rows, on stderr so the
// listing stays as it is: the lines the import prints, or its refusal.
void printWhereTitlesAre(const std::string& path, const sheet::Workbook& book, const imp::TitleNames& names,
                         const sheet::PasswordSource& passwords) {
  imp::ColumnMap columns;
  imp::TitleSearch search;
  int32_t unreadableTitle = 0;
  const std::optional<imp::SheetLayout> layout = imp::recogniseLayout(book, columns, unreadableTitle, names, search);
  if (unreadableTitle != 0) printErr(text::gb18030ToUtf8(imp::unreadableTitleLine(unreadableTitle)));
  if (!layout) {
    const imp::ImportOutcome refused = imp::layoutRejected(search, unreadableTitle != 0);
    printErr(text::gb18030ToUtf8(refused.message));
    if (!refused.detail.empty()) printErr(text::gb18030ToUtf8(refused.detail));
    const imp::SheetOpener open = [&passwords](const std::string& p, const sheet::SheetRequest& sheet) {
      return sheet::openWorkbookAskingPassword(p, passwords, sheet);
    };
    const std::vector<imp::OtherSheet> others = imp::otherSheetsWithTitles(path, book, open, names);
    if (!others.empty())
      printErr(text::gb18030ToUtf8(imp::otherSheetsLine(others)) + ": 用 --sheet " +
               std::to_string(others.front().number) + " 读取");
    return;
  }
  const std::vector<std::string> lines = imp::foundHeaderLines(imp::foundHeader(book, search, *layout));
  // The sheet's name is the listing's first line already.
  for (std::size_t i = 1; i < lines.size(); ++i) printErr(text::gb18030ToUtf8(lines[i]));
  if (layout->footerRow != 0) printErr(text::gb18030ToUtf8(imp::dataEndedLine(layout->footerRow, layout->footerName)));
}

// The rows listed that the file hides, on stderr: 隐藏行: 第5、9行.
void printHiddenRows(const sheet::SheetData& data, uint32_t lastListed) {
  std::string line;
  for (const uint32_t row : data.hiddenRows()) {
    if (row > lastListed) break;
    line.append(line.empty() ? imp::texts::kHiddenRows : imp::texts::kListSeparator).append(std::to_string(row));
  }
  if (!line.empty()) printErr(text::gb18030ToUtf8(line.append(imp::texts::kRowWord)));
}

// --rows N: how many rows are listed (all without it), or the exit status of a usage error.
std::variant<uint32_t, int> rowLimitOf(const QCommandLineParser& parser) {
  if (!parser.isSet("rows")) return UINT32_MAX;
  bool ok = false;
  const uint rows = parser.value("rows").toUInt(&ok);
  if (ok) return static_cast<uint32_t>(rows);
  return usageError(QCoreApplication::translate("gzimport", "--rows needs a whole number, not '%1'")
                        .arg(parser.value("rows"))
                        .toStdString(),
                    helpTextOf(parser));
}

// Rows 1 to `last` on stdout, a line each, the cell texts separated by tabs.
void printRows(const sheet::SheetData& data, uint32_t last) {
  for (uint32_t row = 1; row <= last; ++row) {
    std::string line;
    const uint32_t cols = data.lastColumn(row);
    for (uint32_t col = 1; col <= cols; ++col) {
      if (col > 1) line += '\t';
      line += escapedCell(text::gb18030ToUtf8(sheet::cellText(data.value(row, col))));
    }
    printOut(line);
  }
}

int runSheet(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QCoreApplication::translate("gzimport",
                                  "Prints the active sheet of WORKBOOK as the import reads it: the sheet's name,\n"
                                  "then one line per row with the cell texts separated by tabs. Where the import\n"
                                  "finds the titles and the data rows, and the rows the file hides, go to stderr."));
  parser.addOption({"rows", QCoreApplication::translate("gzimport", "Print only the first N rows."), "N"});
  parser.addOption(sheetOption());
  parser.addOption(passwordOption());
  parser.addOption(passwordFileOption());
  parser.addPositionalArgument(
      "WORKBOOK", QCoreApplication::translate(
                      "gzimport",
                      "The workbook: .xls, .xlsx, .xlsm, .et, .ett, .ods, .fods, XML Spreadsheet, a web page "
                      "or CSV/tab-separated text (the form is read from the file, not its name)."));
  if (const auto status = parseArguments(parser, args, 1)) return *status;
  const std::variant<uint32_t, int> rows = rowLimitOf(parser);
  if (const int* status = std::get_if<int>(&rows)) return *status;
  const uint32_t rowLimit = std::get<uint32_t>(rows);

  imp::TitleNames titleNames;
  if (const std::optional<int> failed = loadTitleNames(titleNames, QString::fromUtf8(codes::kDmFileName)))
    return *failed;
  const auto passwords = workbookPasswordSource(parser);
  if (const int* status = std::get_if<int>(&passwords)) return *status;

  const std::string path = parser.positionalArguments().front().toStdString();
  const sheet::PasswordSource passwordSource = sheet::rememberingPassword(std::get<sheet::PasswordSource>(passwords));
  std::unique_ptr<sheet::Workbook> book;
  try {
    book = sheet::openWorkbookAskingPassword(path, passwordSource, sheetRequestOf(parser));
  } catch (const sheet::WorkbookError& e) {
    return fail(e.what());
  }
  if (!book->notice().empty()) printErr(text::gb18030ToUtf8(book->notice()));
  printOut(text::gb18030ToUtf8(book->sheetName()));

  const sheet::SheetData& data = book->sheet();
  const uint32_t last = std::min(data.lastRow(), rowLimit);
  printRows(data, last);
  printHiddenRows(data, last);
  printWhereTitlesAre(path, *book, titleNames, passwordSource);
  return kOk;
}

const CommandRegistration registration(
    {"sheet", QT_TRANSLATE_NOOP("gzimport", "Show the active sheet of a workbook as the import reads it"), runSheet});

}  // namespace
}  // namespace gz::cli
