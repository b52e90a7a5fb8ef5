// readXlsx(): from the package relationships to the workbook, its active
// (or requested) worksheet, the styles that mark dates and the shared strings.
#include <memory>
#include <string>

#include "sheet/model/read_error.h"
#include "sheet/model/workbook.h"
#include "sheet/shared/zip_package.h"
#include "sheet/xlsx/xlsx_parts.h"
#include "sheet/xlsx/xlsx_reader.h"
#include "text/gb18030.h"

namespace gz::sheet {

namespace {

const XlsxRelationship* findRelationship(const std::vector<XlsxRelationship>& rels, std::string_view kind) {
  for (const XlsxRelationship& r : rels)
    if (isRelationshipType(r.type, kind)) return &r;
  return nullptr;
}

const XlsxRelationship* findById(const std::vector<XlsxRelationship>& rels, std::string_view id) {
  for (const XlsxRelationship& r : rels)
    if (r.id == id) return &r;
  return nullptr;
}

std::string workbookPart(const ZipPackage& package) {
  const std::vector<XlsxRelationship> rels = readXlsxRelationships(package, "");
  if (const XlsxRelationship* r = findRelationship(rels, "officeDocument")) return r->target;
  if (package.has("xl/workbook.xml")) return "xl/workbook.xml";  // a package without relationships
  throw WorkbookError(WorkbookFault::NotAWorkbook, "不是Excel工作簿", package.name());
}

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The worksheets among the workbook's sheets (chart and macro sheets left
// out), with the relationship of each one's part.
struct Worksheets {
  std::vector<const XlsxSheetEntry*> entries;
  std::vector<const XlsxRelationship*> parts;
  std::size_t activeIndex = 0;
  bool activeIsWorksheet = false;
};

Worksheets worksheetsOf(const XlsxWorkbookInfo& info, const std::vector<XlsxRelationship>& rels) {
  Worksheets w;
  for (std::size_t i = 0; i < info.sheets.size(); ++i) {
    const XlsxRelationship* r = findById(rels, info.sheets[i].relId);
    if (!r || !isRelationshipType(r->type, "worksheet")) continue;
    if (i == info.activeTab) {
      w.activeIndex = w.entries.size();
      w.activeIsWorksheet = true;
    }
    w.entries.push_back(&info.sheets[i]);
    w.parts.push_back(r);
  }
  return w;
}

// The active tab counts every sheet, charts included; when it is not a
// worksheet the first worksheet is read instead, and the operator is told.
std::string inactiveNotice(const XlsxWorkbookInfo& info, const Worksheets& w) {
  const std::string& first = w.entries.front()->name;
  if (info.activeTab < info.sheets.size())
    return "活动工作表“" + info.sheets[info.activeTab].name + "”不是普通工作表，改为读取第一张工作表“" + first + "”";
  return "工作簿未指明有效的活动工作表，改为读取第一张工作表“" + first + "”";
}

}  // namespace

std::unique_ptr<Workbook> readXlsx(const unsigned char* data, std::size_t size, const std::string& name,
                                   const SheetRequest& request) {
  const ZipPackage package(data, size, name);
  const std::string bookPart = workbookPart(package);
  if (endsWith(bookPart, ".bin"))
    throw WorkbookError(WorkbookFault::Unsupported, "不支持二进制格式(.xlsb)的工作簿", name);
  const XlsxWorkbookInfo info = readXlsxWorkbook(package, bookPart);
  const std::vector<XlsxRelationship> rels = readXlsxRelationships(package, bookPart);
  const Worksheets worksheets = worksheetsOf(info, rels);
  if (worksheets.entries.empty()) throw WorkbookError(WorkbookFault::Damaged, "工作簿中没有工作表", name);

  auto book = std::make_unique<Workbook>();
  for (const XlsxSheetEntry* s : worksheets.entries) book->sheetNames_.push_back(text::utf8ToGb18030(s->name));
  try {
    book->sheetIndex_ = pickSheet(book->sheetNames_, worksheets.activeIndex, request);
  } catch (const ReadError& e) {
    throw WorkbookError(e.fault(), e.what(), name);
  }
  const bool requested = !request.name.empty() || request.number != 0;
  if (!worksheets.activeIsWorksheet && !requested)
    book->notice_ = text::utf8ToGb18030(inactiveNotice(info, worksheets));

  book->sheet_.limitRows(request.rowLimit);
  XlsxTextSink sink{book->sheet_};
  std::vector<bool> dateStyles;
  if (const XlsxRelationship* r = findRelationship(rels, "styles"); r && package.has(r->target))
    dateStyles = readXlsxDateStyles(package, r->target);
  std::vector<uint32_t> sharedStrings;
  if (const XlsxRelationship* r = findRelationship(rels, "sharedStrings"); r && package.has(r->target))
    sharedStrings = readXlsxSharedStrings(package, r->target, sink);

  const XlsxCellContext context{dateStyles, sharedStrings, info.date1904};
  readXlsxSheetData(package, worksheets.parts[book->sheetIndex_]->target, context, sink);
  book->sheet_.finish();
  book->sheetName_ = book->sheetNames_[book->sheetIndex_];
  return book;
}

}  // namespace gz::sheet
