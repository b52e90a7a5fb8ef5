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

// The active tab when it is a worksheet, else the first worksheet (with a
// notice when the active tab was a sheet of another kind).
const SheetEntry& chooseSheet(const WorkbookGlobals& g, std::string& notice) {
  const SheetEntry* first = nullptr;
  for (const SheetEntry& s : g.sheets) {
    if (s.kind == SheetKind::Worksheet) {
      first = &s;
      break;
    }
  }
  if (!first) throw ReadError("工作簿中没有工作表");
  if (g.activeTab < 0 || static_cast<std::size_t>(g.activeTab) >= g.sheets.size()) return *first;
  const SheetEntry& active = g.sheets[g.activeTab];
  if (active.kind == SheetKind::Worksheet) return active;
  addNotice(notice, text::utf8ToGb18030("活动工作表") + active.name + text::utf8ToGb18030("是") +
                        text::utf8ToGb18030(kindWord(active.kind)) + text::utf8ToGb18030(",读取第一个工作表") +
                        first->name);
  return *first;
}

// Reads the active sheet's cells without finishing the sheet, so that the
// caller can free the stream before the sheet is sorted (the two largest
// allocations of a read then never coexist).
std::unique_ptr<Workbook> readUnfinished(biff::Bytes stream, bool bookStream) {
  WorkbookGlobals globals = readGlobals(stream, bookStream);
  std::string notice;
  if (!globals.codePageKnown) {
    addNotice(notice, text::utf8ToGb18030("工作簿的代码页" + std::to_string(globals.codePage) +
                                          "不受支持,文本按西欧代码页1252读取"));
  }
  const SheetEntry& sheet = chooseSheet(globals, notice);
  auto book = std::make_unique<Workbook>();
  book->sheetName_ = sheet.name;
  book->notice_ = std::move(notice);
  readSheetCells(stream, sheet, globals, book->sheet_);
  return book;
}

WorkbookError withName(const ReadError& e, const std::string& name) { return WorkbookError(e.fault(), e.what(), name); }

}  // namespace

std::unique_ptr<Workbook> readXlsStream(const uint8_t* data, std::size_t size, bool bookStream, const std::string& name,
                                        const PasswordSource& ask) {
  std::unique_ptr<Workbook> book;
  try {
    const biff::Bytes stream(data, size);
    if (hasFilePass(stream)) {
      std::vector<uint8_t> decrypted(data, data + size);
      decryptWorkbookStream(decrypted, ask, name);
      book = readUnfinished(decrypted, bookStream);
    } else {
      book = readUnfinished(stream, bookStream);
    }
  } catch (const ReadError& e) {
    throw withName(e, name);
  }
  book->sheet_.finish();
  return book;
}

std::unique_ptr<Workbook> readXls(const CompoundFile& file, const std::string& name, const PasswordSource& ask) {
  std::unique_ptr<Workbook> book;
  try {
    WorkbookStream stream = extractWorkbookStream(file);
    decryptWorkbookStream(stream.bytes, ask, name);
    book = readUnfinished(stream.bytes, stream.bookStream);
  } catch (const ReadError& e) {
    throw withName(e, name);
  }
  book->sheet_.finish();
  return book;
}

std::unique_ptr<Workbook> readXls(const unsigned char* data, std::size_t size, const std::string& name,
                                  const PasswordSource& ask) {
  try {
    return readXls(CompoundFile(data, size), name, ask);
  } catch (const ReadError& e) {
    throw withName(e, name);
  }
}

}  // namespace gz::sheet
