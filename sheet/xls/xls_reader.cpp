#include "sheet/xls/xls_reader.h"

#include <string>
#include <utility>
#include <vector>

#include "sheet/model/read_error.h"
#include "sheet/model/reader_helpers.h"
#include "sheet/model/workbook.h"
#include "sheet/xls/workbook_stream.h"
#include "sheet/xls/xls_cells.h"
#include "sheet/xls/xls_decrypt.h"
#include "sheet/xls/xls_globals.h"
#include "text/gb18030.h"

namespace gz::sheet {
namespace {

const char* kindWord(SheetKind kind) {
  switch (kind) {
    case SheetKind::Chart: return "图表";
    case SheetKind::MacroSheet: return "宏表";
    case SheetKind::Module: return "宏模块";
    default: return "非工作表";
  }
}

// The requested worksheet; without a request the active tab when it is a
// worksheet, else the first worksheet (with a notice when the active tab was
// a sheet of another kind). Fills the workbook's list of worksheet names.
const SheetEntry& chooseSheet(const WorkbookGlobals& g, const SheetRequest& request, Workbook& book) {
  std::vector<const SheetEntry*> worksheets;
  std::size_t activeWorksheet = 0;
  for (std::size_t i = 0; i < g.sheets.size(); ++i) {
    if (g.sheets[i].kind != SheetKind::Worksheet) continue;
    if (static_cast<std::size_t>(g.activeTab) == i) activeWorksheet = worksheets.size();
    worksheets.push_back(&g.sheets[i]);
    book.sheetNames_.push_back(g.sheets[i].name);
  }
  if (worksheets.empty()) throw ReadError("工作簿中没有工作表");
  book.sheetIndex_ = pickSheet(book.sheetNames_, activeWorksheet, request);
  const bool activeElsewhere = g.activeTab >= 0 && static_cast<std::size_t>(g.activeTab) < g.sheets.size() &&
                               g.sheets[g.activeTab].kind != SheetKind::Worksheet;
  if (activeElsewhere && request.name.empty() && request.number == 0) {
    const SheetEntry& active = g.sheets[g.activeTab];
    addNotice(book.notice_, text::utf8ToGb18030("活动工作表") + active.name + text::utf8ToGb18030("是") +
                                text::utf8ToGb18030(kindWord(active.kind)) + text::utf8ToGb18030(",读取第一个工作表") +
                                worksheets.front()->name);
  }
  return *worksheets[book.sheetIndex_];
}

// Reads the chosen sheet's cells without finishing the sheet, so that the
// caller can free the stream before the sheet is sorted (the two largest
// allocations of a read then never coexist).
std::unique_ptr<Workbook> readUnfinished(biff::Bytes stream, bool bookStream, const SheetRequest& request) {
  WorkbookGlobals globals = readGlobals(stream, bookStream);
  auto book = std::make_unique<Workbook>();
  if (!globals.codePageKnown) {
    addNotice(book->notice_, text::utf8ToGb18030("工作簿的代码页" + std::to_string(globals.codePage) +
                                                 "不受支持,文本按西欧代码页1252读取"));
  }
  const SheetEntry& sheet = chooseSheet(globals, request, *book);
  book->sheetName_ = sheet.name;
  book->sheet_.limitRows(request.rowLimit);
  readSheetCells(stream, sheet, globals, book->sheet_);
  return book;
}

WorkbookError withName(const ReadError& e, const std::string& name) { return WorkbookError(e.fault(), e.what(), name); }

}  // namespace

std::unique_ptr<Workbook> readXlsStream(const uint8_t* data, std::size_t size, bool bookStream, const std::string& name,
                                        const PasswordSource& ask, const SheetRequest& request) {
  std::unique_ptr<Workbook> book;
  try {
    const biff::Bytes stream(data, size);
    if (hasFilePass(stream)) {
      std::vector<uint8_t> decrypted(data, data + size);
      decryptWorkbookStream(decrypted, ask, name);
      book = readUnfinished(decrypted, bookStream, request);
    } else {
      book = readUnfinished(stream, bookStream, request);
    }
  } catch (const ReadError& e) {
    throw withName(e, name);
  }
  book->sheet_.finish();
  return book;
}

std::unique_ptr<Workbook> readXls(const CompoundFile& file, const std::string& name, const PasswordSource& ask,
                                  const SheetRequest& request) {
  std::unique_ptr<Workbook> book;
  try {
    WorkbookStream stream = extractWorkbookStream(file);
    decryptWorkbookStream(stream.bytes, ask, name);
    book = readUnfinished(stream.bytes, stream.bookStream, request);
  } catch (const ReadError& e) {
    throw withName(e, name);
  }
  book->sheet_.finish();
  return book;
}

std::unique_ptr<Workbook> readXls(const unsigned char* data, std::size_t size, const std::string& name,
                                  const PasswordSource& ask, const SheetRequest& request) {
  try {
    return readXls(CompoundFile(data, size), name, ask, request);
  } catch (const ReadError& e) {
    throw withName(e, name);
  }
}

}  // namespace gz::sheet
