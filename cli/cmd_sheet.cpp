// gzimport sheet: shows what the tool reads from a workbook's active sheet.

#include <QCommandLineParser>
#include <algorithm>
#include <cstdint>
#include <memory>

#include "cli/command.h"
#include "cli/options.h"
#include "sheet/workbook.h"
#include "text/gbk.h"

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

int runSheet(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Prints the active sheet of WORKBOOK as the import reads it: the sheet's name,\n"
      "then one line per row with the cell texts separated by tabs.");
  parser.addOption({"rows", "Print only the first N rows.", "N"});
  parser.addPositionalArgument("WORKBOOK", "The workbook (.xls or .xlsx).");
  if (const auto status = parseArguments(parser, args, 1)) return *status;
  uint32_t rowLimit = UINT32_MAX;
  if (parser.isSet("rows")) {
    bool ok = false;
    const uint rows = parser.value("rows").toUInt(&ok);
    if (!ok) return usageError("--rows needs a whole number, not '" + parser.value("rows").toStdString() + "'",
                               parser.helpText().toStdString());
    rowLimit = rows;
  }

  std::unique_ptr<sheet::Workbook> book;
  try {
    book = sheet::openWorkbook(parser.positionalArguments().front().toStdString());
  } catch (const sheet::WorkbookError& e) {
    return fail(e.what());
  }
  if (!book->notice().empty()) printErr(text::gbkToUtf8(book->notice()));
  printOut(text::gbkToUtf8(book->sheetName()));

  const sheet::SheetData& data = book->sheet();
  const uint32_t last = std::min(data.lastRow(), rowLimit);
  for (uint32_t row = 1; row <= last; ++row) {
    std::string line;
    const uint32_t cols = data.lastColumn(row);
    for (uint32_t col = 1; col <= cols; ++col) {
      if (col > 1) line += '\t';
      line += escapedCell(text::gbkToUtf8(sheet::cellText(data.value(row, col))));
    }
    printOut(line);
  }
  return kOk;
}

const CommandRegistration registration({"sheet", "Show the active sheet of a workbook as the import reads it",
                                        runSheet});

}  // namespace
}  // namespace gz::cli
