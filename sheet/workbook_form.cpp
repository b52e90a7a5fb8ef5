#include "sheet/workbook_form.h"

#include <libxml/xmlreader.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "sheet/model/workbook_error.h"
#include "sheet/shared/byte_order.h"
#include "sheet/shared/xml_handles.h"
#include "sheet/shared/zip_package.h"

namespace gz::sheet {

namespace {

constexpr unsigned char kOle2Magic[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr unsigned char kZipMagic[] = {'P', 'K', 0x03, 0x04};
// How far into a text file its form is judged.
constexpr std::size_t kTextWindow = 64 * 1024;

constexpr std::string_view kSpreadsheetMlNamespace = "urn:schemas-microsoft-com:office:spreadsheet";
constexpr std::string_view kOpenDocumentOfficeNamespace = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";

bool startsWith(const unsigned char* data, std::size_t size, const unsigned char* magic, std::size_t n) {
  return size >= n && std::memcmp(data, magic, n) == 0;
}

// A zip is an OpenDocument when its mimetype part says so, or when it has
// the OpenDocument content part and no Office Open XML content types.
WorkbookForm zipForm(const unsigned char* data, std::size_t size) {
  try {
    const ZipPackage zip(data, size, std::string());
    if (zip.has("mimetype")) {
      ZipPart part = zip.open("mimetype");
      char head[64] = {};
      const int n = part.read(head, sizeof head - 1);
      const std::string_view type(head, n > 0 ? static_cast<std::size_t>(n) : 0);
      if (type.substr(0, 34) == "application/vnd.oasis.opendocument") return WorkbookForm::OpenDocument;
    }
    if (!zip.has("[Content_Types].xml") && zip.has("content.xml")) return WorkbookForm::OpenDocument;
  } catch (const WorkbookError&) {
    // A damaged zip: the .xlsx reader says what is wrong with it.
  }
  return WorkbookForm::OfficeOpenXml;
}

// The BOF record that opens a bare workbook stream: its id and a payload of
// the size the versions give it.
WorkbookForm biffForm(const unsigned char* data, std::size_t size) {
  if (size < 8) return WorkbookForm::Unknown;
  const uint16_t id = le16(data), length = le16(data + 2);
  if (id == 0x0809 && length >= 4 && length <= 20) return WorkbookForm::BiffStream;
  if ((id == 0x0009 || id == 0x0209 || id == 0x0409) && length >= 4 && length <= 16) return WorkbookForm::OldBiffStream;
  return WorkbookForm::Unknown;
}

bool containsNoCase(std::string_view haystack, std::string_view needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(), [](char a, char b) {
           return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
         }) != haystack.end();
}

// The root element of an XML document: its local name and namespace.
struct XmlRoot {
  std::string name, ns;
};
XmlRoot xmlRoot(const unsigned char* data, std::size_t size) {
  XmlRoot root;
  const XmlTextReaderPtr reader(xmlReaderForMemory(reinterpret_cast<const char*>(data),
                                                   static_cast<int>(std::min<std::size_t>(size, INT32_MAX)), nullptr,
                                                   nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (!reader) return root;
  while (xmlTextReaderRead(reader.get()) == 1) {
    if (xmlTextReaderNodeType(reader.get()) != XML_READER_TYPE_ELEMENT) continue;
    auto text = [](const xmlChar* s) { return s ? std::string(reinterpret_cast<const char*>(s)) : std::string(); };
    root.name = text(xmlTextReaderConstLocalName(reader.get()));
    root.ns = text(xmlTextReaderConstNamespaceUri(reader.get()));
    break;
  }
  return root;
}

// `text` is the document's text as ASCII bytes (the bytes themselves, or the
// ASCII of UTF-16 code units).
WorkbookForm markupForm(const unsigned char* data, std::size_t size, std::string_view text) {
  const XmlRoot root = xmlRoot(data, size);
  if (root.name == "Workbook" && root.ns == kSpreadsheetMlNamespace) return WorkbookForm::XmlSpreadsheet;
  if (root.name == "document" && root.ns == kOpenDocumentOfficeNamespace) return WorkbookForm::FlatOpenDocument;
  // Any other page, well-formed or not, is a workbook when it holds a table.
  if (containsNoCase(text, "<table")) return WorkbookForm::HtmlPage;
  return WorkbookForm::Unknown;
}

// Characters a text file holds: tab, line breaks and form feed among the
// controls, and the end-of-file mark some old programs write.
bool isTextUnit(uint32_t c) { return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == 0x1A; }

// Text whose first line holds a separator (tab, comma or semicolon): a table
// of at least two columns, which every personnel list is. `units` yields the
// characters (bytes, or UTF-16 code units).
template <typename Units>
bool isDelimitedText(const Units& units, std::size_t count) {
  bool separator = false, firstLine = true, quoted = false;
  for (std::size_t i = 0; i < count; ++i) {
    const uint32_t c = units(i);
    if (!isTextUnit(c)) return false;
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '\n' || c == '\r')) firstLine = false;
    if (firstLine && !quoted && (c == '\t' || c == ',' || c == ';')) separator = true;
  }
  return separator;
}

WorkbookForm textForm(const unsigned char* data, std::size_t size) {
  if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
    const bool little = data[0] == 0xFF;
    const std::size_t units = std::min(size, kTextWindow) / 2 - 1;
    auto unit = [&](std::size_t i) -> uint32_t {
      const unsigned char* p = data + 2 + 2 * i;
      return little ? le16(p) : be16(p);
    };
    std::size_t first = 0;
    while (first < units && (unit(first) == ' ' || unit(first) == '\t' || unit(first) == '\r' || unit(first) == '\n'))
      ++first;
    if (first < units && unit(first) == '<') {
      std::string ascii;
      for (std::size_t i = 0; i < units; ++i) ascii += unit(i) < 0x80 ? char(unit(i)) : '?';
      return markupForm(data, size, ascii);
    }
    return isDelimitedText(unit, units) ? WorkbookForm::DelimitedText : WorkbookForm::Unknown;
  }
  std::size_t start = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
  while (start < size && (data[start] == ' ' || data[start] == '\t' || data[start] == '\r' || data[start] == '\n'))
    ++start;
  if (start < size && data[start] == '<')
    return markupForm(data, size, std::string_view(reinterpret_cast<const char*>(data), size));
  auto byte = [&](std::size_t i) -> uint32_t { return data[i]; };
  return isDelimitedText(byte, std::min(size, kTextWindow)) ? WorkbookForm::DelimitedText : WorkbookForm::Unknown;
}

}  // namespace

WorkbookForm detectForm(const unsigned char* data, std::size_t size) {
  if (startsWith(data, size, kOle2Magic, sizeof kOle2Magic)) return WorkbookForm::CompoundFile;
  if (startsWith(data, size, kZipMagic, sizeof kZipMagic)) return zipForm(data, size);
  if (const WorkbookForm biff = biffForm(data, size); biff != WorkbookForm::Unknown) return biff;
  return textForm(data, size);
}

const std::vector<std::string>& workbookFilePatterns() {
  static const std::vector<std::string> kPatterns = {"*.xls",  "*.xlsx", "*.xlsm", "*.et",   "*.ett", "*.ods",
                                                     "*.fods", "*.xml",  "*.htm",  "*.html", "*.csv", "*.txt"};
  return kPatterns;
}

}  // namespace gz::sheet
