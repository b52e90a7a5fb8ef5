#include "sheet/shared/xml_reader.h"

#include <libxml/xmlerror.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <cstring>

#include "sheet/model/workbook_error.h"

namespace gz::sheet {

namespace {

int readPart(void* context, char* buffer, int len) { return static_cast<ZipPart*>(context)->read(buffer, len); }

void keepFirstError(void* context, xmlErrorPtr error) {
  auto* first = static_cast<std::string*>(context);
  if (first->empty() && error && error->message) {
    *first = error->message;
    while (!first->empty() && (first->back() == '\n' || first->back() == ' ')) first->pop_back();
  }
}

std::string_view view(const xmlChar* s) {
  return s ? std::string_view(reinterpret_cast<const char*>(s)) : std::string_view();
}

}  // namespace

// No network, no entity substitution, no external DTD; messages are kept, not printed.
constexpr int kReaderOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;

XmlReader::XmlReader(const ZipPackage& package, std::string_view partName)
    : part_(package.open(partName)), partName_(partName), workbookName_(package.name()) {
  reader_.reset(xmlReaderForIO(readPart, nullptr, &*part_, nullptr, nullptr, kReaderOptions));
  if (!reader_) fail("无法读取");
  xmlTextReaderSetStructuredErrorHandler(reader_.get(), keepFirstError, &firstError_);
}

XmlReader::XmlReader(std::string_view bytes, const char* encoding, std::string_view documentName,
                     std::string_view workbookName)
    : memory_{bytes.data(), bytes.size()}, partName_(documentName), workbookName_(workbookName) {
  reader_.reset(xmlReaderForIO(readMemory, nullptr, &memory_, nullptr, encoding,
                               kReaderOptions | (encoding ? XML_PARSE_IGNORE_ENC : 0)));
  if (!reader_) fail("无法读取");
  xmlTextReaderSetStructuredErrorHandler(reader_.get(), keepFirstError, &firstError_);
}

int XmlReader::readMemory(void* context, char* buffer, int len) {
  auto* m = static_cast<Memory*>(context);
  const std::size_t n = len <= 0 ? 0 : std::min<std::size_t>(m->left, static_cast<std::size_t>(len));
  std::memcpy(buffer, m->next, n);
  m->next += n;
  m->left -= n;
  return static_cast<int>(n);
}

void XmlReader::fail(std::string_view what) const {
  std::string message = "工作簿已损坏（" + (partName_.empty() ? "" : partName_ + " ") + std::string(what);
  if (!firstError_.empty()) message += ": " + firstError_;
  throw WorkbookError(WorkbookFault::Damaged, message + "）", workbookName_);
}

bool XmlReader::next() {
  const int rc = xmlTextReaderRead(reader_.get());
  if (rc < 0) {
    if (part_ && part_->tooLarge()) fail("过大");
    fail("XML 格式错误");
  }
  if (rc == 0) return false;
  type_ = xmlTextReaderNodeType(reader_.get());
  // Workbook parts never declare a DTD; refusing one rules out entity expansion attacks.
  if (type_ == XML_READER_TYPE_DOCUMENT_TYPE) fail("含有不允许的 DTD");
  return true;
}

bool XmlReader::isStart() const { return type_ == XML_READER_TYPE_ELEMENT; }
bool XmlReader::isEnd() const {
  return type_ == XML_READER_TYPE_END_ELEMENT || (type_ == XML_READER_TYPE_ELEMENT && isEmptyElement());
}
bool XmlReader::isEmptyElement() const { return xmlTextReaderIsEmptyElement(reader_.get()) == 1; }
bool XmlReader::isText() const {
  return type_ == XML_READER_TYPE_TEXT || type_ == XML_READER_TYPE_CDATA || type_ == XML_READER_TYPE_WHITESPACE ||
         type_ == XML_READER_TYPE_SIGNIFICANT_WHITESPACE;
}
std::string_view XmlReader::localName() const { return view(xmlTextReaderConstLocalName(reader_.get())); }
std::string_view XmlReader::value() const { return view(xmlTextReaderConstValue(reader_.get())); }
int XmlReader::depth() const { return xmlTextReaderDepth(reader_.get()); }

std::optional<std::string> XmlReader::attribute(std::string_view name, bool namespaced) {
  std::optional<std::string> found;
  while (!found && xmlTextReaderMoveToNextAttribute(reader_.get()) == 1) {
    if (view(xmlTextReaderConstLocalName(reader_.get())) != name) continue;
    const bool hasPrefix = !view(xmlTextReaderConstPrefix(reader_.get())).empty();
    if (hasPrefix == namespaced && view(xmlTextReaderConstPrefix(reader_.get())) != "xmlns")
      found = std::string(view(xmlTextReaderConstValue(reader_.get())));
  }
  xmlTextReaderMoveToElement(reader_.get());
  return found;
}

std::optional<std::string> XmlReader::anyAttribute(std::string_view name) {
  std::optional<std::string> found;
  while (!found && xmlTextReaderMoveToNextAttribute(reader_.get()) == 1) {
    if (view(xmlTextReaderConstLocalName(reader_.get())) == name &&
        view(xmlTextReaderConstPrefix(reader_.get())) != "xmlns")
      found = std::string(view(xmlTextReaderConstValue(reader_.get())));
  }
  xmlTextReaderMoveToElement(reader_.get());
  return found;
}

std::optional<std::string> XmlReader::attributeNs(std::string_view name, std::string_view uri) {
  std::optional<std::string> found;
  while (!found && xmlTextReaderMoveToNextAttribute(reader_.get()) == 1) {
    if (view(xmlTextReaderConstLocalName(reader_.get())) == name &&
        view(xmlTextReaderConstNamespaceUri(reader_.get())) == uri)
      found = std::string(view(xmlTextReaderConstValue(reader_.get())));
  }
  xmlTextReaderMoveToElement(reader_.get());
  return found;
}

std::string_view XmlReader::namespaceUri() const { return view(xmlTextReaderConstNamespaceUri(reader_.get())); }

std::string XmlReader::elementText() {
  std::string text;
  if (isEmptyElement()) return text;
  const int start = depth();
  while (next()) {
    if (type_ == XML_READER_TYPE_END_ELEMENT && depth() == start) break;
    if (isText()) text += value();
  }
  return text;
}

void XmlReader::skipElement() {
  if (isEmptyElement()) return;
  const int start = depth();
  while (next()) {
    if (type_ == XML_READER_TYPE_END_ELEMENT && depth() == start) break;
  }
}

std::string XmlReader::stringItemText() {
  std::string text;
  if (isEmptyElement()) return text;
  const int start = depth();
  int phoneticDepth = -1;  // depth of the <rPh> we are inside, or -1
  int textDepth = -1;      // depth of the <t> we are inside, or -1
  while (next()) {
    if (type_ == XML_READER_TYPE_END_ELEMENT) {
      if (depth() == start) break;
      if (depth() == phoneticDepth) phoneticDepth = -1;
      if (depth() == textDepth) textDepth = -1;
    } else if (type_ == XML_READER_TYPE_ELEMENT) {
      if (isEmptyElement()) continue;
      if (localName() == "rPh" && phoneticDepth < 0) phoneticDepth = depth();
      if (localName() == "t" && textDepth < 0 && phoneticDepth < 0) textDepth = depth();
    } else if (isText() && textDepth >= 0) {
      text += value();
    }
  }
  return text;
}

}  // namespace gz::sheet
