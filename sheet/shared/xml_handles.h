// Ownership of libxml2's objects: documents, the strings it allocates and
// streaming readers.
#pragma once

#include <memory>

typedef struct _xmlDoc xmlDoc;
typedef unsigned char xmlChar;
typedef struct _xmlTextReader xmlTextReader;

namespace gz::sheet {

struct XmlDocFree {
  void operator()(xmlDoc* doc) const;
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;

struct XmlStringFree {
  void operator()(xmlChar* text) const;
};
using XmlString = std::unique_ptr<xmlChar, XmlStringFree>;

struct XmlTextReaderFree {
  void operator()(xmlTextReader* reader) const;
};
using XmlTextReaderPtr = std::unique_ptr<xmlTextReader, XmlTextReaderFree>;

}  // namespace gz::sheet
