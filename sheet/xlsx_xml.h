// A streaming XML reader over one package part (libxml2's xmlTextReader),
// matching elements and attributes by local name so that namespace prefixes
// and the Strict namespaces read like the usual ones.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sheet/xlsx_package.h"

typedef struct _xmlTextReader* xmlTextReaderPtr;

namespace gz::sheet {

class XlsxXmlReader {
 public:
  // Throws WorkbookError when the part is missing. `workbookName` is for messages.
  XlsxXmlReader(const XlsxPackage& package, std::string_view partName);
  XlsxXmlReader(const XlsxXmlReader&) = delete;
  XlsxXmlReader& operator=(const XlsxXmlReader&) = delete;
  ~XlsxXmlReader();

  // Moves to the next node; false at the end of the document. Throws
  // WorkbookError for malformed or truncated XML and for documents with a DTD.
  bool next();

  bool isStart() const;  // a start tag (also of an empty element)
  bool isEnd() const;    // an end tag, or the start tag of an empty element seen as its end
  bool isEmptyElement() const;
  bool isText() const;   // text, CDATA or white space
  std::string_view localName() const;
  std::string_view value() const;  // of a text node
  int depth() const;

  // The attribute with this local name, whatever its prefix. `namespaced`
  // requires a prefix (r:id as opposed to id).
  std::optional<std::string> attribute(std::string_view localName, bool namespaced = false);

  // Reads on to the end of the current element, gathering its text.
  std::string elementText();
  // Reads on to the end of a string item (<si>, <is>), gathering the text of
  // its <t> elements, plain or in rich-text runs, but not of phonetic <rPh> runs.
  std::string stringItemText();

  [[noreturn]] void fail(std::string_view what) const;

 private:
  XlsxPart part_;
  xmlTextReaderPtr reader_ = nullptr;
  std::string partName_;
  std::string workbookName_;
  std::string firstError_;
  int type_ = 0;
};

// Undoes the _xHHHH_ escapes of workbook strings (_x000D_ is a carriage return,
// _x005F_ an underscore). Other text is returned unchanged. An escaped
// surrogate without its partner becomes U+FFFD and sets `*unpairedSurrogate`.
std::string unescapeXlsxString(std::string_view s, bool* unpairedSurrogate = nullptr);

}  // namespace gz::sheet
