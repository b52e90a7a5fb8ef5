#include "sheet/shared/xml_handles.h"

#include <libxml/tree.h>
#include <libxml/xmlmemory.h>
#include <libxml/xmlreader.h>

namespace gz::sheet {

void XmlDocFree::operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }

void XmlStringFree::operator()(xmlChar* text) const { xmlFree(text); }

void XmlTextReaderFree::operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }

}  // namespace gz::sheet
