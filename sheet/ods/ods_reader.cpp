// readOpenDocument() and readFlatOpenDocument(): the .ods package, whose
// settings.xml names the table the document opens with and whose
// content.xml holds the tables, and the flat .fods document, which holds
// both in one XML file.
#include <memory>
#include <optional>
#include <string>

#include "sheet/model/workbook.h"
#include "sheet/ods/ods_reader.h"
#include "sheet/ods/ods_tables.h"
#include "sheet/shared/markup_text.h"
#include "sheet/shared/xml_reader.h"
#include "sheet/shared/zip_package.h"

namespace gz::sheet {

namespace {

std::optional<std::string> activeTableOf(const ZipPackage& package) {
  if (!package.has("settings.xml")) return std::nullopt;
  XmlReader xml(package, "settings.xml");
  while (xml.next()) {
    if (xml.isStart() && xml.localName() == "config-item" && xml.namespaceUri() == kOdfConfigNs)
      if (std::optional<std::string> name = activeTableSetting(xml)) return name;
  }
  return std::nullopt;
}

// A package saved with a password keeps its parts encrypted and says so in
// its manifest.
bool isEncrypted(const ZipPackage& package) {
  if (!package.has("META-INF/manifest.xml")) return false;
  XmlReader xml(package, "META-INF/manifest.xml");
  while (xml.next())
    if (xml.isStart() && xml.localName() == "encryption-data") return true;
  return false;
}

}  // namespace

std::unique_ptr<Workbook> readOpenDocument(const unsigned char* data, std::size_t size, const std::string& name,
                                           const SheetRequest& request) {
  const ZipPackage package(data, size, name);
  if (isEncrypted(package)) throw WorkbookError(WorkbookFault::Encrypted, "工作簿已加密,无法读取", name);
  if (!package.has("content.xml")) throw WorkbookError(WorkbookFault::NotAWorkbook, "不是Excel工作簿", name);
  const std::optional<std::string> active = activeTableOf(package);
  XmlReader content(package, "content.xml");
  return readOdsTables(content, active, nullptr, name, request);
}

std::unique_ptr<Workbook> readFlatOpenDocument(const unsigned char* data, std::size_t size, const std::string& name,
                                               const SheetRequest& request) {
  MarkupBytes doc;
  prepareMarkup(std::string_view(reinterpret_cast<const char*>(data), size), MarkupKind::Xml, doc);
  XmlReader xml(doc.bytes, doc.encoding, "", name);
  return readOdsTables(xml, std::nullopt, &doc, name, request);
}

}  // namespace gz::sheet
