// readXlsx(): from the package relationships to the workbook, its active
// worksheet, the styles that mark dates and the shared strings.
#include <memory>
#include <string>

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

}  // namespace

std::unique_ptr<Workbook> readXlsx(const unsigned char* data, std::size_t size, const std::string& name) {
  const ZipPackage package(data, size, name);
  const std::string bookPart = workbookPart(package);
  if (endsWith(bookPart, ".bin"))
    throw WorkbookError(WorkbookFault::Unsupported, "不支持二进制格式(.xlsb)的工作簿", name);
  const XlsxWorkbookInfo info = readXlsxWorkbook(package, bookPart);
  const std::vector<XlsxRelationship> rels = readXlsxRelationships(package, bookPart);

  // The active tab counts every sheet, charts included; when it is not a
  // worksheet the first worksheet is read instead, and the operator is told.
  auto worksheetOf = [&](const XlsxSheetEntry& s) -> const XlsxRelationship* {
    const XlsxRelationship* r = findById(rels, s.relId);
    return r && isRelationshipType(r->type, "worksheet") ? r : nullptr;
  };
  const XlsxSheetEntry* chosen = nullptr;
  const XlsxRelationship* sheetRel = nullptr;
  if (info.activeTab < info.sheets.size()) {
    chosen = &info.sheets[info.activeTab];
    sheetRel = worksheetOf(*chosen);
  }
  std::string notice;
  if (!sheetRel) {
    const XlsxSheetEntry* active = chosen;
    chosen = nullptr;
    for (const XlsxSheetEntry& s : info.sheets)
      if ((sheetRel = worksheetOf(s))) {
        chosen = &s;
        break;
      }
    if (!chosen) throw WorkbookError(WorkbookFault::Damaged, "工作簿中没有工作表", name);
    notice = active ? "活动工作表“" + active->name + "”不是普通工作表，改为读取第一张工作表“" + chosen->name + "”"
                    : "工作簿未指明有效的活动工作表，改为读取第一张工作表“" + chosen->name + "”";
  }

  auto book = std::make_unique<Workbook>();
  XlsxTextSink sink{book->sheet_};
  std::vector<bool> dateStyles;
  if (const XlsxRelationship* r = findRelationship(rels, "styles"); r && package.has(r->target))
    dateStyles = readXlsxDateStyles(package, r->target);
  std::vector<uint32_t> sharedStrings;
  if (const XlsxRelationship* r = findRelationship(rels, "sharedStrings"); r && package.has(r->target))
    sharedStrings = readXlsxSharedStrings(package, r->target, sink);

  const XlsxCellContext context{dateStyles, sharedStrings, info.date1904};
  readXlsxSheetData(package, sheetRel->target, context, sink);
  book->sheet_.finish();

  book->sheetName_ = text::utf8ToGb18030(chosen->name);
  book->notice_ = text::utf8ToGb18030(notice);
  return book;
}

}  // namespace gz::sheet
