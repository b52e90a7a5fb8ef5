// The tables of an OpenDocument spreadsheet document (content.xml of an .ods
// package, or a whole .fods file), read as a stream.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "sheet/model/reader_helpers.h"
#include "sheet/model/workbook.h"
#include "sheet/shared/xml_reader.h"

namespace gz::sheet {

struct MarkupBytes;

inline constexpr std::string_view kOdfOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
inline constexpr std::string_view kOdfConfigNs = "urn:oasis:names:tc:opendocument:xmlns:config:1.0";

// The name of the table the document opens with, from the view settings
// (<config:config-item config:name="ActiveTable">); call it on a config-item
// element. nullopt when this item is not that setting.
std::optional<std::string> activeTableSetting(XmlReader& xml);

// Reads the document from `xml` and returns the table `request` names, else
// the table named `activeTable` (UTF-8), else the first table, with a notice
// when the active one was named but not found. Every table's name is listed. Settings met on the way (in a flat document, which
// holds them before its body) name the active table when `activeTable` is
// empty. `document` marks text malformed in the file; `file` is for messages.
// Throws WorkbookError for a document that is no spreadsheet.
std::unique_ptr<Workbook> readOdsTables(XmlReader& xml, std::optional<std::string> activeTable,
                                        const MarkupBytes* document, const std::string& file,
                                        const SheetRequest& request = {});

}  // namespace gz::sheet
