// A streaming XML reader over one package part (libxml2's xmlTextReader),
// matching elements and attributes by local name so that namespace prefixes
// and the Strict namespaces read like the usual ones. It also reads the
// OpenDocument parts and the one-file XML forms (XML Spreadsheet 2003,
// flat OpenDocument) from memory.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "sheet/shared/xml_handles.h"
#include "sheet/shared/zip_package.h"

namespace gz::sheet {

class XmlReader {
 public:
  // Throws WorkbookError when the part is missing. `workbookName` is for messages.
  XmlReader(const ZipPackage& package, std::string_view partName);
  // A whole document in memory (`bytes` must outlive the reader). With an
  // `encoding` the bytes are in it whatever the document declares.
  XmlReader(std::string_view bytes, const char* encoding, std::string_view documentName, std::string_view workbookName);
  XmlReader(const XmlReader&) = delete;
  XmlReader& operator=(const XmlReader&) = delete;

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
  // The attribute with this local name, with or without a prefix.
  std::optional<std::string> anyAttribute(std::string_view localName);
  // The attribute with this local name in the namespace `uri`.
  std::optional<std::string> attributeNs(std::string_view localName, std::string_view uri);
  // The namespace of the current element.
  std::string_view namespaceUri() const;

  // Reads on to the end of the current element, gathering its text.
  std::string elementText();
  // Reads on to the end of the current element, ignoring what it holds.
  void skipElement();
  // Reads on to the end of a string item (<si>, <is>), gathering the text of
  // its <t> elements, plain or in rich-text runs, but not of phonetic <rPh> runs.
  std::string stringItemText();

  [[noreturn]] void fail(std::string_view what) const;

 private:
  struct Memory {
    const char* next = nullptr;
    std::size_t left = 0;
  };
  static int readMemory(void* context, char* buffer, int len);

  std::optional<ZipPart> part_;
  Memory memory_;
  XmlTextReaderPtr reader_;
  std::string partName_;
  std::string workbookName_;
  std::string firstError_;
  int type_ = 0;
};

}  // namespace gz::sheet
