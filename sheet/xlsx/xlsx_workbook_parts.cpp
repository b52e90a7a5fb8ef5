// Relationships, workbook and styles parts: small documents read in one pass.
#include <charconv>
#include <map>
#include <optional>

#include "sheet/model/workbook_error.h"
#include "sheet/shared/number_format.h"
#include "sheet/shared/xml_reader.h"
#include "sheet/xlsx/escaped_text.h"
#include "sheet/xlsx/xlsx_parts.h"
#include "text/gb18030.h"

namespace gz::sheet {

namespace {

std::optional<uint32_t> parseIndex(const std::optional<std::string>& s) {
  if (!s) return std::nullopt;
  uint32_t v = 0;
  const char* end = s->data() + s->size();
  auto [p, ec] = std::from_chars(s->data(), end, v);
  if (ec != std::errc() || p != end) return std::nullopt;
  return v;
}

std::string relationshipsPartOf(std::string_view sourcePart) {
  const std::size_t slash = sourcePart.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? "" : sourcePart.substr(0, slash + 1);
  const std::string_view file = slash == std::string_view::npos ? sourcePart : sourcePart.substr(slash + 1);
  return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

}  // namespace

bool isRelationshipType(std::string_view type, std::string_view kind) {
  return type.size() > kind.size() && type.substr(type.size() - kind.size()) == kind &&
         type[type.size() - kind.size() - 1] == '/';
}

std::vector<XlsxRelationship> readXlsxRelationships(const ZipPackage& package, std::string_view sourcePart) {
  std::vector<XlsxRelationship> rels;
  const std::string relsPart = relationshipsPartOf(sourcePart);
  if (!package.has(relsPart)) return rels;
  XmlReader xml(package, relsPart);
  while (xml.next()) {
    if (!xml.isStart() || xml.localName() != "Relationship") continue;
    if (xml.attribute("TargetMode").value_or("") == "External") continue;
    XlsxRelationship r;
    r.id = xml.attribute("Id").value_or("");
    r.type = xml.attribute("Type").value_or("");
    r.target = ZipPackage::resolve(sourcePart, xml.attribute("Target").value_or(""));
    rels.push_back(std::move(r));
  }
  return rels;
}

XlsxWorkbookInfo readXlsxWorkbook(const ZipPackage& package, std::string_view part) {
  XlsxWorkbookInfo info;
  XmlReader xml(package, part);
  bool sawRoot = false, sawView = false;
  while (xml.next()) {
    if (!xml.isStart()) continue;
    const std::string_view name = xml.localName();
    if (!sawRoot) {
      if (name != "workbook") throw WorkbookError(WorkbookFault::NotAWorkbook, "不是Excel工作簿", package.name());
      sawRoot = true;
    } else if (name == "workbookPr" && xml.depth() == 1) {
      const std::string v = xml.attribute("date1904").value_or("");
      info.date1904 = v == "1" || v == "true";
    } else if (name == "workbookView" && xml.depth() == 2 && !sawView) {
      sawView = true;  // the first window is the one the workbook opens with
      info.activeTab = parseIndex(xml.attribute("activeTab")).value_or(0);
    } else if (name == "sheet" && xml.depth() == 2) {
      XlsxSheetEntry s;
      s.name = xml.attribute("name").value_or("");
      s.relId = xml.attribute("id", true).value_or("");
      info.sheets.push_back(std::move(s));
    }
  }
  if (!sawRoot) throw WorkbookError(WorkbookFault::NotAWorkbook, "不是Excel工作簿", package.name());
  return info;
}

std::vector<bool> readXlsxDateStyles(const ZipPackage& package, std::string_view part) {
  std::map<uint32_t, std::string> customFormats;
  std::vector<uint32_t> xfFormats;
  XmlReader xml(package, part);
  int cellXfsDepth = -1;
  while (xml.next()) {
    if (xml.isStart()) {
      const std::string_view name = xml.localName();
      // Only the table's own formats: conditional formats (dxf) carry numFmt elements too.
      if (name == "numFmt" && xml.depth() == 2) {
        if (auto id = parseIndex(xml.attribute("numFmtId")))
          customFormats[*id] = xml.attribute("formatCode").value_or("");
      } else if (name == "cellXfs" && xml.depth() == 1 && !xml.isEmptyElement()) {
        cellXfsDepth = xml.depth();
      } else if (name == "xf" && cellXfsDepth >= 0 && xml.depth() == cellXfsDepth + 1) {
        xfFormats.push_back(parseIndex(xml.attribute("numFmtId")).value_or(0));
      }
    } else if (xml.isEnd() && xml.depth() == cellXfsDepth && xml.localName() == "cellXfs") {
      cellXfsDepth = -1;
    }
  }
  std::vector<bool> isDate;
  isDate.reserve(xfFormats.size());
  for (uint32_t id : xfFormats) {
    const auto custom = customFormats.find(id);
    const int builtinId = id > 0xFFFF ? -1 : static_cast<int>(id);
    isDate.push_back(isDateFormat(builtinId, custom == customFormats.end() ? std::string_view() : custom->second));
  }
  return isDate;
}

uint32_t XlsxTextSink::add(std::string_view utf8) {
  bool unpairedSurrogate = false;
  text::ConversionReport report;
  std::string converted = text::utf8ToGb18030(unescapeXlsxString(utf8, &unpairedSurrogate), &report);
  return sheet.addString(std::move(converted), unpairedSurrogate || !report.ok());
}

}  // namespace gz::sheet
