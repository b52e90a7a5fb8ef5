#include <string>

#include "sheet/shared/xml_reader.h"
#include "sheet/xlsx/xlsx_parts.h"

namespace gz::sheet {

namespace {
// A table beyond this is not a workbook an import can use; refusing it bounds memory.
constexpr std::size_t kMaxSharedStrings = 1u << 23;
}  // namespace

std::vector<uint32_t> readXlsxSharedStrings(const ZipPackage& package, std::string_view part, XlsxTextSink& sink) {
  std::vector<uint32_t> indexes;
  XmlReader xml(package, part);
  while (xml.next()) {
    if (!xml.isStart() || xml.localName() != "si" || xml.depth() != 1) continue;
    if (indexes.size() >= kMaxSharedStrings) xml.fail("共享字符串过多");
    indexes.push_back(sink.add(xml.stringItemText()));
  }
  return indexes;
}

}  // namespace gz::sheet
