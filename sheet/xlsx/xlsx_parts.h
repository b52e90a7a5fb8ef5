// Reading the parts of an .xlsx package that lead to the active sheet's cells:
// relationships, the workbook, the styles, the shared strings and the sheet data.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/model/sheet_data.h"
#include "sheet/shared/zip_package.h"

namespace gz::sheet {

struct XlsxRelationship {
  std::string id;
  std::string type;    // the full type URI
  std::string target;  // the part name, resolved against the source part
};

// The relationships of `sourcePart` ("" for the package itself); none when
// the package has no relationship part for it. Targets outside the package
// are left out.
std::vector<XlsxRelationship> readXlsxRelationships(const ZipPackage& package, std::string_view sourcePart);

// True when the relationship type URI ends in "/<kind>" (transitional and
// Strict URIs differ only before that).
bool isRelationshipType(std::string_view type, std::string_view kind);

struct XlsxSheetEntry {
  std::string name;   // UTF-8
  std::string relId;  // relationship id of the sheet's part
};

struct XlsxWorkbookInfo {
  std::vector<XlsxSheetEntry> sheets;  // in tab order
  std::size_t activeTab = 0;
  bool date1904 = false;
};

// Throws WorkbookError when the part is not a workbook.
XlsxWorkbookInfo readXlsxWorkbook(const ZipPackage& package, std::string_view part);

// For each cell format (the s attribute of a cell), whether it shows a date.
std::vector<bool> readXlsxDateStyles(const ZipPackage& package, std::string_view part);

// Adds workbook texts to the sheet's strings, marking malformed ones unreadable.
struct XlsxTextSink {
  SheetData& sheet;
  uint32_t add(std::string_view utf8);
};

// The shared strings in file order, each as an index into `sink.sheet`'s strings.
std::vector<uint32_t> readXlsxSharedStrings(const ZipPackage& package, std::string_view part, XlsxTextSink& sink);

struct XlsxCellContext {
  const std::vector<bool>& dateStyles;
  const std::vector<uint32_t>& sharedStrings;
  bool date1904 = false;
};

// Streams the sheet part's cells into `sink.sheet` (does not call finish()).
void readXlsxSheetData(const ZipPackage& package, std::string_view part, const XlsxCellContext& context,
                       XlsxTextSink& sink);

}  // namespace gz::sheet
